#include "Json.h"

#include "runtime/Utf8Path.h"

namespace tarnfold::cli {

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
        {"map", Utf8(map.map)},
        {"game", map.game},
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
        {"globalList", globals},
        {"check", ToJson(map.check)},
    };
}

nlohmann::ordered_json ToJson(const CompileSummary& summary) {
    return {
        {"scripts", summary.scripts},
        {"nodes", summary.nodes},
        {"nodeCapacity", summary.nodeCapacity},
        {"textBytes", summary.textBytes},
        {"growth", summary.growth},
        {"relocatedWords", summary.relocatedWords},
        {"recompiled", summary.recompiled},
        {"replaced", summary.replaced},
        {"dryRun", summary.dryRun},
        {"engine", summary.target},
        {"check", ToJson(summary.check)},
        {"warnings", summary.warnings},
    };
}

}  // namespace tarnfold::cli
