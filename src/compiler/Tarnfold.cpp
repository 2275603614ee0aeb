#include "compiler/Tarnfold.h"

#include "compiler/ScenarioLayout.h"
#include "map/HaloPcMap.h"
#include "runtime/BinaryFile.h"
#include "runtime/Xml.h"

namespace tarnfold {

MapReport DescribeMap(const std::filesystem::path& path) {
    HaloPcMap map;
    map.LoadMap(path);
    ScriptCompilier scripts;
    BinaryFile file(map.f);
    scripts.LoadScriptData(map, file);

    MapReport report;
    report.map = map.f;
    report.headLayout = map.HeadLayout;
    report.indexOffset = map.indexOffset;
    report.magic = map.Magic;
    report.tagCount = map.TagCount;
    report.scenarioClass = map.Scenario()->Class1;
    report.scenarioName = map.Scenario()->Name;
    report.scenarioOffset = map.Scenario()->Offset;
    report.syntaxDataSize = scripts.SyntaxDataSize;
    report.nodes = scripts.NodesInUse();
    report.nodeCapacity = scripts.NodeCapacity();
    report.scripts = scripts.RecordCount;
    report.maxScripts = scenario::kMaxScripts;
    report.stringDataSize = scripts.ScriptTableSize;
    report.maxStringData = scenario::kMaxStringData;
    report.compiledByTarnfold = scripts.CompiledByTarnfold(file.Length());
    return report;
}

CompileSummary CompileDocument(const std::filesystem::path& path, std::string_view document,
                               const CompileOptions& options) {
    XmlDocument xml;
    xml.PreserveWhitespace = false;
    xml.LoadXml(document);
    if (path.empty()) throw Error("no map is loaded: load a map first");
    HaloPcMap map;
    map.LoadMap(path);
    return ScriptCompilier().BuildScriptData(map, xml, options);
}

}  // namespace tarnfold
