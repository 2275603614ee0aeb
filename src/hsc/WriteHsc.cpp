#include "hsc/WriteHsc.h"

#include <optional>

#include "runtime/XmlAttributes.h"
#include "runtime/Error.h"
#include "runtime/Numbers.h"

namespace tarnfold::hsc {

namespace {

using namespace engine;

constexpr size_t kWidth = 100;  // a call longer than this is broken, one argument per line

class Writer {
public:
    explicit Writer(Engine engine) : engine_(engine) {}

    std::string Script(const XmlNode& script) {
        const int typeNumber = ReadIntegerAttribute(script, "TypeAttr");
        const int returnType = ReadIntegerAttribute(script, "ReTypeAttr");
        const auto types = ScriptTypes();
        if (typeNumber < 0 || static_cast<size_t>(typeNumber) >= types.size())
            throw Error(DescribeElement(script) + ": TypeAttr " + std::to_string(typeNumber) + " is no script type");
        const ScriptType& type = types[static_cast<size_t>(typeNumber)];
        std::string text = "(script " + std::string(type.name) + " ";
        if (type.declaresReturnType) text += TypeName(returnType) + " ";
        text += script.GetAttribute("NameAttr");
        for (const XmlNode& child : script.Children)
            if (child.IsElement()) text += "\n    " + Expression(child, 1);
        return text + ")\n";
    }

private:
    Engine engine_;

    std::string Expression(const XmlNode& node, size_t depth) {
        if (node.Name == "GlobalValue") return node.GetAttribute("ValueCommand");
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
        if (type == value_type::kReal || type == value_type::kShort || type == value_type::kLong) return value;
        if (type != value_type::kString && IsBare(value)) return value;
        if (value.find_first_of("\"\r\n") != std::string::npos)
            throw Error(DescribeElement(node) + ": the text \"" + value + "\" cannot be written as an HSC string");
        return "\"" + value + "\"";
    }

    // A name that reads back as the same constant, not as a number, keyword or global.
    bool IsBare(const std::string& text) const {
        if (text.empty() || text.find_first_of(" \t\r\n\f\v()\";") != std::string::npos) return false;
        for (const char c : text)
            if (c >= 'A' && c <= 'Z') return false;
        if (ParseReal(text) || text == "true" || text == "false" || text == "on" || text == "off") return false;
        const Global* global = FindGlobal(text);
        return !global || !Exists(*global, engine_);
    }
};

}  // namespace

std::string WriteHsc(const XmlNode& document, Engine engine) {
    Writer writer(engine);
    std::string text;
    for (const XmlNode& script : document.Children)
        if (script.IsElement()) text += (text.empty() ? "" : "\n") + writer.Script(script);
    return text;
}

}  // namespace tarnfold::hsc
