#include "compiler/DocumentChecks.h"

#include <algorithm>
#include <array>

#include "runtime/XmlAttributes.h"
#include "engine/Tables.h"
#include "runtime/EditDistance.h"
#include "runtime/Numbers.h"
#include "runtime/Printable.h"
#include "runtime/Xml.h"

namespace tarnfold {

namespace {

// The engine's value types are numbered 0 to 48, its script types 0 to 4.
int LastValueType() { return static_cast<int>(engine::ValueTypes().size()) - 1; }
int LastScriptType() { return static_cast<int>(engine::ScriptTypes().size()) - 1; }

constexpr std::array<std::string_view, 4> kExpressionElements = {"ScriptCommand", "ScriptValue", "GlobalValue",
                                                                 "ScriptCall"};

// The known name `name` was probably meant to be: the same but for letter
// case, or one or two letters off. A known name ending in "Attr" also
// matches without it ("Name" for "NameAttr").
std::string_view Nearest(std::string_view name, const auto& known) {
    const std::string lower = LowerAscii(name);
    for (std::string_view k : known) {
        const std::string_view bare = k.ends_with("Attr") ? k.substr(0, k.size() - 4) : k;
        if (lower == LowerAscii(k) || lower == LowerAscii(bare)) return k;
    }
    for (std::string_view k : known)
        if (name.size() > 3 && EditDistance(lower, LowerAscii(k)) <= 2) return k;
    return {};
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

void CheckAttributes(const XmlNode& element, const auto& known, std::vector<Diagnostic>& warnings) {
    for (const auto& [name, value] : element.Attributes) {
        if (std::find(known.begin(), known.end(), name) != known.end()) continue;
        std::string warning = ": attribute " + Quoted(Printable(name)) + " is not read";
        if (const auto nearest = Nearest(name, known); !nearest.empty())
            warning += "; did you mean " + Quoted(nearest) + "?";
        warnings.push_back(AtElement(element, "unread-attribute", warning));
    }
}

// A number attribute outside [0, last]; one that is no number is refused
// when it is read, so it is not warned about here.
void CheckRange(const XmlNode& element, std::string_view attribute, int last, std::string_view what,
                std::vector<Diagnostic>& warnings) {
    const std::string* text = element.FindAttribute(attribute);
    if (!text) return;
    const auto value = ParseInteger(*text);
    if (!value || (*value >= 0 && *value <= last)) return;
    warnings.push_back(AtElement(element, "unknown-type",
                                 ": " + std::string(attribute) + " " + std::to_string(*value) +
                                     " is not one of the engine's " + std::string(what) + " (0 to " +
                                     std::to_string(last) + ")"));
}

}  // namespace

bool IsExpressionElement(std::string_view name) {
    return std::find(kExpressionElements.begin(), kExpressionElements.end(), name) != kExpressionElements.end();
}

std::string NearestExpressionElement(std::string_view name) { return std::string(Nearest(name, kExpressionElements)); }

std::vector<Diagnostic> CheckScriptElement(const XmlNode& script) {
    static constexpr std::array<std::string_view, 3> kKnown = {"NameAttr", "TypeAttr", "ReTypeAttr"};
    std::vector<Diagnostic> warnings;
    CheckAttributes(script, kKnown, warnings);
    if (!script.FindAttribute("NameAttr"))
        warnings.push_back(AtElement(script, "no-name", ": the script has no NameAttr, so its name is empty"));
    CheckRange(script, "TypeAttr", LastScriptType(), "script types", warnings);
    CheckRange(script, "ReTypeAttr", LastValueType(), "value types", warnings);
    return warnings;
}

std::vector<Diagnostic> CheckGlobalElement(const XmlNode& global) {
    static constexpr std::array<std::string_view, 2> kKnown = {"NameAttr", "ValueType"};
    std::vector<Diagnostic> warnings;
    CheckAttributes(global, kKnown, warnings);
    CheckRange(global, "ValueType", LastValueType(), "value types", warnings);
    return warnings;
}

std::vector<Diagnostic> CheckExpressionElement(const XmlNode& element) {
    static constexpr std::array<std::string_view, 3> kCommand = {"Command", "EngineId", "ValueType"};
    static constexpr std::array<std::string_view, 3> kValue = {"ValueType", "Value", "ExpType"};
    static constexpr std::array<std::string_view, 4> kGlobal = {"ValueType", "Value", "ValueCommand", "ExpType"};
    static constexpr std::array<std::string_view, 2> kCall = {"Script", "ValueType"};
    std::vector<Diagnostic> warnings;
    if (element.Name == "ScriptCommand")
        CheckAttributes(element, kCommand, warnings);
    else if (element.Name == "ScriptValue")
        CheckAttributes(element, kValue, warnings);
    else if (element.Name == "ScriptCall")
        CheckAttributes(element, kCall, warnings);
    else
        CheckAttributes(element, kGlobal, warnings);
    CheckRange(element, "ValueType", LastValueType(), "value types", warnings);
    for (const XmlNode& child : element.Children)
        if (child.kind == XmlNode::Kind::Text) {
            warnings.push_back(AtElement(element, "unread-text",
                                         ": the text inside it is not read; the value goes in the Value attribute"));
            break;
        }
    return warnings;
}

}  // namespace tarnfold
