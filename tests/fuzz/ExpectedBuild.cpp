#include "ExpectedBuild.h"

#include "runtime/Numbers.h"
#include "runtime/Xml.h"

namespace tarnfold::fuzz {

namespace {

struct Walker {
    ExpectedBuild& out;

    void Refuse(const std::string& why) {
        if (out.refusal.empty()) out.refusal = why;
    }

    int32_t Integer(const XmlNode& element, const char* attribute) {
        const auto value = ParseInteger(element.GetAttribute(attribute));
        if (!value) Refuse(std::string("bad number in ") + attribute);
        return value.value_or(0);
    }

    void Store(const std::string& text) { out.texts += text + '\0'; }

    // One constant or global: which texts it stores depends on its type.
    void Value(const XmlNode& element, bool global) {
        const int32_t type = Integer(element, "ValueType");
        const std::string value = element.GetAttribute("Value");
        const std::string text = global ? element.GetAttribute("ValueCommand") : value;
        const bool keyword = MatchesKeyword(value, "true") || MatchesKeyword(value, "false");
        if (type == 6) {
            if (!ParseReal(value)) Refuse("bad real Value");
        } else if (type == 7 || type == 8 || (global && !(type == 5 && keyword))) {
            Integer(element, "Value");
        }
        if ((type == 5 && !keyword) || type < 5 || type > 8) Store(text);
    }

    // The nodes made by the expressions below `element`.
    int32_t Body(const XmlNode& element) {
        int32_t made = 0;
        for (const XmlNode& child : element.Children) {
            if (!child.IsElement()) continue;
            if (child.Name == "ScriptCommand") {
                Integer(child, "EngineId");
                Integer(child, "ValueType");
                Store(child.GetAttribute("Command"));
                made += 2 + Body(child);
                continue;
            }
            if (child.HasElementChildren()) Refuse("children under " + child.Name);
            if (child.Name == "ScriptValue" || child.Name == "GlobalValue") {
                Value(child, child.Name == "GlobalValue");
                made += 1;
            }
        }
        return made;
    }
};

}  // namespace

int32_t ExpectedBuild::Growth() const {
    const auto length = static_cast<int32_t>(texts.size());
    return 92 * scripts + (length + 3) / 4 * 4;
}

ExpectedBuild Expect(const XmlNode& root, int32_t capacity) {
    ExpectedBuild out;
    Walker walker{out};
    out.texts = std::string("begin") + '\0';
    for (const XmlNode& script : root.Children) {
        if (!script.IsElement()) continue;
        walker.Integer(script, "TypeAttr");
        walker.Integer(script, "ReTypeAttr");
        const std::string name = script.GetAttribute("NameAttr");
        if (name.size() > 31) walker.Refuse("name too long");
        const int32_t body = walker.Body(script);
        if (body == 0) walker.Refuse("empty script");
        ++out.scripts;
        out.nodes += 4 + body + 3;
        out.identified += body + 2;
    }
    if (out.nodes > capacity) walker.Refuse("over capacity");
    return out;
}

}  // namespace tarnfold::fuzz
