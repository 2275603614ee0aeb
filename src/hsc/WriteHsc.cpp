#include "hsc/WriteHsc.h"

#include <optional>

#include "runtime/Error.h"
#include "runtime/Numbers.h"
#include "runtime/Printable.h"
#include "runtime/XmlAttributes.h"

namespace tarnfold::hsc {

namespace {

using namespace engine;

constexpr size_t kWidth = 100;  // a call longer than this is broken, one argument per line

// Why `name` cannot stand in HSC as the same name, or empty: the reader
// splits at white space, parentheses, quotes and semicolons, and reads
// names in lower case.
std::string WhyNotAtom(const std::string& name) {
    if (name.empty()) return "it is empty";
    for (const char c : name) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') return "it holds white space";
        if (c == '(' || c == ')') return "it holds a parenthesis";
        if (c == '"') return "it holds a quote";
        if (c == ';') return "it holds a semicolon";
        if (c >= 'A' && c <= 'Z') return "it holds capital letters, which HSC reads in lower case";
    }
    return {};
}

class Writer {
public:
    explicit Writer(Engine engine) : engine_(engine) {}

    std::string Item(const XmlNode& item) {
        if (item.Name == "ScenarioGlobal") return Global(item);
        return Script(item);
    }

private:
    Engine engine_;

    // A name as an atom, or a refusal that names the element.
    std::string Atom(const XmlNode& element, const std::string& what, const std::string& name) const {
        if (const std::string why = WhyNotAtom(name); !why.empty())
            throw Error(DescribeElement(element) + ": the " + what + " \"" + Printable(name) + "\" cannot be written in HSC (" +
                        why + "); read the scripts as a script document instead");
        return name;
    }

    std::string Global(const XmlNode& global) {
        std::string text = "(global " + TypeName(ReadIntegerAttribute(global, "ValueType")) + " " +
                           Atom(global, "global name", global.GetAttribute("NameAttr"));
        for (const XmlNode& child : global.Children)
            if (child.IsElement()) text += " " + Expression(child, 1);
        return text + ")\n";
    }

    std::string Script(const XmlNode& script) {
        const int typeNumber = ReadIntegerAttribute(script, "TypeAttr");
        const int returnType = ReadIntegerAttribute(script, "ReTypeAttr");
        const auto types = ScriptTypes();
        if (typeNumber < 0 || static_cast<size_t>(typeNumber) >= types.size())
            throw Error(DescribeElement(script) + ": TypeAttr " + std::to_string(typeNumber) + " is no script type");
        const ScriptType& type = types[static_cast<size_t>(typeNumber)];
        std::string text = "(script " + std::string(type.name) + " ";
        if (type.declaresReturnType) text += TypeName(returnType) + " ";
        text += Atom(script, "script name", script.GetAttribute("NameAttr"));
        for (const XmlNode& child : script.Children)
            if (child.IsElement()) text += "\n    " + Expression(child, 1);
        return text + ")\n";
    }

    std::string Expression(const XmlNode& node, size_t depth) {
        if (node.Name == "GlobalValue") return Atom(node, "global name", node.GetAttribute("ValueCommand"));
        if (node.Name == "ScriptCall") return "(" + Atom(node, "script name", node.GetAttribute("Script")) + ")";
        if (node.Name == "ScriptValue") return Constant(node);
        std::vector<std::string> parts{node.GetAttribute("Command")};
        size_t length = parts[0].size() + 2;
        for (const XmlNode& child : node.Children) {
            if (!child.IsElement()) continue;
            parts.push_back(Expression(child, depth + 1));
            length += parts.back().size() + 1;
        }
        const bool oneLine = length + 4 * depth <= kWidth;
        std::string text = "(" + parts[0];
        const std::string gap = oneLine ? " " : "\n" + std::string(4 * (depth + 1), ' ');
        for (size_t i = 1; i < parts.size(); ++i) text += gap + parts[i];
        return text + ")";
    }

    std::string Constant(const XmlNode& node) {
        const std::string value = node.GetAttribute("Value");
        const auto type = ParseInteger(node.GetAttribute("ValueType"));
        if (type == value_type::kBoolean && (MatchesKeyword(value, "true") || MatchesKeyword(value, "false")))
            return MatchesKeyword(value, "true") ? "true" : "false";
        // A whole real keeps a point, so that it reads back as a real where
        // nothing else types it.
        if (type == value_type::kReal)
            return value.find_first_of(".eE") == std::string::npos ? value + ".0" : value;
        if (type == value_type::kShort || type == value_type::kLong) return value;
        if (type != value_type::kString && IsBare(value)) return value;
        if (value.find_first_of("\"\r\n") != std::string::npos)
            throw Error(DescribeElement(node) + ": the text \"" + Printable(value) + "\" cannot be written as an HSC string");
        return "\"" + value + "\"";
    }

    // A name that reads back as the same constant, not as a number, keyword or global.
    bool IsBare(const std::string& text) const {
        if (!WhyNotAtom(text).empty()) return false;
        if (ParseReal(text) || text == "true" || text == "false" || text == "on" || text == "off") return false;
        const engine::Global* global = FindGlobal(text);
        return !global || !Exists(*global, engine_);
    }
};

}  // namespace

std::string WriteHsc(const XmlNode& document, Engine engine) {
    Writer writer(engine);
    std::string text;
    const XmlNode* previous = nullptr;
    for (const XmlNode& item : document.Children) {
        if (!item.IsElement()) continue;
        // Globals stand together; a blank line sets off every script.
        const bool together = previous && previous->Name == "ScenarioGlobal" && item.Name == "ScenarioGlobal";
        text += (previous && !together ? "\n" : "") + writer.Item(item);
        previous = &item;
    }
    return text;
}

}  // namespace tarnfold::hsc
