#include "Json.h"

#include "runtime/Utf8Path.h"

namespace tarnfold::cli {

namespace {

const char* EngineValue(Engine engine) { return engine == Engine::Retail ? "retail" : "custom"; }

nlohmann::ordered_json List(const std::vector<Diagnostic>& messages) {
    auto list = nlohmann::ordered_json::array();
    for (const Diagnostic& message : messages) list.push_back(ToJson(message));
    return list;
}

}  // namespace

std::string Dump(const nlohmann::ordered_json& object) {
    return object.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

nlohmann::ordered_json ToJson(const Diagnostic& message) {
    const auto orNull = [](auto value, bool given) { return given ? nlohmann::ordered_json(value) : nullptr; };
    return {{"file", orNull(message.file, !message.file.empty())},
            {"line", orNull(message.line, message.Placed())},
            {"column", orNull(message.column, message.Placed())},
            {"code", message.code},
            {"text", message.text}};
}

nlohmann::ordered_json FailureJson(const std::exception& error, const std::vector<Diagnostic>& warnings) {
    std::vector<Diagnostic> errors;
    if (const auto* located = dynamic_cast<const SourceError*>(&error)) errors = located->Errors();
    else errors.push_back({{}, 0, 0, dynamic_cast<const Error*>(&error) ? "refused" : "internal", error.what()});
    return {{"ok", false}, {"error", ToJson(errors.front())}, {"errors", List(errors)}, {"warnings", List(warnings)}};
}

nlohmann::ordered_json ToJson(const LoadCheck& check) {
    return {{"checked", check.checked}, {"loads", check.loads}, {"failures", check.failures},
            {"unchecked", check.unchecked}};
}

nlohmann::ordered_json ToJson(const MapReport& map) {
    auto list = nlohmann::ordered_json::array();
    for (const ScriptReport& script : map.scriptList)
        list.push_back({{"name", script.name},
                        {"type", script.type},
                        {"returnType", script.returnType},
                        {"nodes", script.nodes}});
    auto globals = nlohmann::ordered_json::array();
    for (const GlobalReport& global : map.globalList) globals.push_back({{"name", global.name}, {"type", global.type}});
    return {
        {"ok", true},
        {"map", Utf8(map.map)},
        {"game", map.game},
        {"engine", EngineValue(map.engine)},
        {"engineReason", map.engineReason},
        {"layout", map.headLayout ? "daeh" : "other"},
        {"indexOffset", map.indexOffset},
        {"magic", static_cast<uint32_t>(map.magic)},
        {"tags", map.tagCount},
        {"scenario", {{"class", map.scenarioClass}, {"name", map.scenarioName}, {"offset", map.scenarioOffset}}},
        {"syntaxDataSize", map.syntaxDataSize},
        {"nodes", map.nodes},
        {"nodeCapacity", map.nodeCapacity},
        {"scripts", map.scripts},
        {"maxScripts", map.maxScripts},
        {"stringDataSize", map.stringDataSize},
        {"maxStringData", map.maxStringData},
        {"compiledByTarnfold", map.compiledByTarnfold},
        {"gameSizedSyntaxData", map.gameSizedSyntaxData},
        {"scriptList", list},
        {"scriptListProblem", map.scriptListProblem},
        {"globalList", globals},
        {"check", ToJson(map.check)},
    };
}

nlohmann::ordered_json ToJson(const CompileSummary& summary) {
    return {
        {"ok", true},
        {"scripts", summary.scripts},
        {"nodes", summary.nodes},
        {"nodeCapacity", summary.nodeCapacity},
        {"textBytes", summary.textBytes},
        {"growth", summary.growth},
        {"relocatedWords", summary.relocatedWords},
        {"recompiled", summary.recompiled},
        {"replaced", summary.replaced},
        {"dryRun", summary.dryRun},
        {"engine", EngineValue(summary.engine)},
        {"engineReason", summary.targetReason},
        {"check", ToJson(summary.check)},
        {"warnings", List(summary.warnings)},
    };
}

}  // namespace tarnfold::cli
