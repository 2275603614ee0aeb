#include "cli/Json.h"

#include "runtime/Utf8Path.h"

namespace tarnfold::cli {

nlohmann::ordered_json ToJson(const MapReport& map) {
    auto list = nlohmann::ordered_json::array();
    for (const ScriptReport& script : map.scriptList)
        list.push_back({{"name", script.name},
                        {"type", script.type},
                        {"returnType", script.returnType},
                        {"nodes", script.nodes}});
    return {
        {"map", Utf8(map.map)},
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
        {"scriptList", list},
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
        {"dryRun", summary.dryRun},
        {"engine", summary.target},
        {"warnings", summary.warnings},
    };
}

}  // namespace tarnfold::cli
