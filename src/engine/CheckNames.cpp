#include "engine/CheckNames.h"


#include "runtime/XmlAttributes.h"
#include "runtime/Numbers.h"

namespace tarnfold::engine {

namespace {

bool MakesNode(const XmlNode& node) {
    return node.IsElement() && (node.Name == "ScriptCommand" || node.Name == "ScriptValue" ||
                                node.Name == "GlobalValue" || node.Name == "ScriptCall");
}

class Checker {
public:
    Checker(Engine target, std::vector<Diagnostic>& warnings) : target_(target), warnings_(warnings) {}

    void Walk(const XmlNode& node) {
        for (const XmlNode& child : node.Children) {
            if (!child.IsElement()) continue;
            if (child.Name == "ScriptCommand") Command(child);
            Walk(child);
        }
    }

private:
    Engine target_;
    std::vector<Diagnostic>& warnings_;

    void Warn(const XmlNode& element, const char* code, const std::string& what) {
        warnings_.push_back(AtElement(element, code, ": " + what));
    }

    void Command(const XmlNode& element) {
        // A name the game does not know is the load check's to report.
        const std::string name = element.GetAttribute("Command");
        const Function* f = FindFunction(name);
        if (!f || !Exists(*f, target_)) return;
        const int t = static_cast<int>(target_);
        const auto id = ParseInteger(element.GetAttribute("EngineId"));
        if (id && *id != f->kit[t] && *id != f->release[t])
            Warn(element, "engine-id", "EngineId " + std::to_string(*id) + " is not " + name + "'s number in " +
                              std::string(EngineName(target_)) + " (" + std::to_string(f->kit[t]) +
                              (f->release[t] >= 0 && f->release[t] != f->kit[t] ? ", or " + std::to_string(f->release[t]) + " in the release numbering"
                                                  : std::string()) +
                              ")");
        const auto valueType = ParseInteger(element.GetAttribute("ValueType"));
        // A call may take the type of the place it fills.
        if (valueType && f->returnType != value_type::kPassthrough && !Converts(f->returnType, *valueType))
            Warn(element, "value-type", "ValueType " + std::to_string(*valueType) + " is neither " + name + "'s return type, " +
                              std::to_string(f->returnType) + " (" + TypeName(f->returnType) +
                              "), nor a type it converts to");
        size_t arguments = 0;
        for (const XmlNode& child : element.Children) arguments += MakesNode(child);
        if (const std::string problem = ArgumentCountProblem(*f, arguments); !problem.empty()) Warn(element, "argument-count", problem);
    }
};

}  // namespace

std::vector<Diagnostic> CheckNames(const XmlNode& root, Engine target) {
    std::vector<Diagnostic> warnings;
    Checker checker(target, warnings);
    for (const XmlNode& script : root.Children)
        if (script.IsElement()) checker.Walk(script);
    return warnings;
}

}  // namespace tarnfold::engine
