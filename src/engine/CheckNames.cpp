#include "engine/CheckNames.h"

#include "runtime/XmlAttributes.h"
#include "runtime/Numbers.h"

namespace tarnfold::engine {

namespace {

// A name as a message shows it: a long one is cut, and no function or
// global is that long, so none is suggested for it.
constexpr size_t kShownName = 64;
std::string Shown(const std::string& name) {
    return "\"" + (name.size() > kShownName ? name.substr(0, kShownName) + "..." : name) + "\"";
}

bool MakesNode(const XmlNode& node) {
    return node.IsElement() &&
           (node.Name == "ScriptCommand" || node.Name == "ScriptValue" || node.Name == "GlobalValue");
}

class Checker {
public:
    Checker(Engine target, std::vector<std::string>& warnings) : target_(target), warnings_(warnings) {}

    void Walk(const XmlNode& node) {
        for (const XmlNode& child : node.Children) {
            if (!child.IsElement()) continue;
            if (child.Name == "ScriptCommand") Command(child);
            if (child.Name == "GlobalValue") Global(child);
            Walk(child);
        }
    }

private:
    Engine target_;
    std::vector<std::string>& warnings_;

    void Warn(const XmlNode& element, const std::string& what) {
        warnings_.push_back(DescribeElement(element) + ": " + what);
    }

    void Command(const XmlNode& element) {
        const std::string name = element.GetAttribute("Command");
        const Function* f = FindFunction(name);
        if (!f) {
            Warn(element, Shown(name) + " is not a function, and the game fails to load the map" +
                              (name.size() > kShownName ? std::string() : SuggestFunction(name, target_)));
            return;
        }
        if (!Exists(*f, target_)) {
            Warn(element, name + " exists in Custom Edition only, and the retail game crashes on it");
            return;
        }
        const int t = static_cast<int>(target_);
        const auto id = ParseInteger(element.GetAttribute("EngineId"));
        if (id && *id != f->kit[t] && *id != f->release[t])
            Warn(element, "EngineId " + std::to_string(*id) + " is not " + name + "'s number in " +
                              std::string(EngineName(target_)) + " (" + std::to_string(f->kit[t]) +
                              (f->release[t] >= 0 && f->release[t] != f->kit[t] ? ", or " + std::to_string(f->release[t]) + " in the release numbering"
                                                  : std::string()) +
                              ")");
        const auto valueType = ParseInteger(element.GetAttribute("ValueType"));
        if (valueType && f->returnType != value_type::kPassthrough && *valueType != f->returnType)
            Warn(element, "ValueType " + std::to_string(*valueType) + " is not " + name + "'s return type, " +
                              std::to_string(f->returnType) + " (" + TypeName(f->returnType) + ")");
        size_t arguments = 0;
        for (const XmlNode& child : element.Children) arguments += MakesNode(child);
        if (const std::string problem = ArgumentCountProblem(*f, arguments); !problem.empty()) Warn(element, problem);
    }

    void Global(const XmlNode& element) {
        const std::string* name = element.FindAttribute("ValueCommand");
        if (!name) return;  // written by number only
        const engine::Global* global = FindGlobal(*name);
        if (!global || !Exists(*global, target_))
            Warn(element, Shown(*name) + " is no engine global of " + std::string(EngineName(target_)) +
                              ", and the game fails to load the map" +
                              (name->size() > kShownName ? std::string() : SuggestGlobal(*name, target_)));
    }
};

}  // namespace

std::vector<std::string> CheckNames(const XmlNode& root, Engine target) {
    std::vector<std::string> warnings;
    Checker checker(target, warnings);
    for (const XmlNode& script : root.Children)
        if (script.IsElement()) checker.Walk(script);
    return warnings;
}

}  // namespace tarnfold::engine
