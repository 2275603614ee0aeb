#include "Support.h"

#include "map/HaloPcMap.h"
#include "runtime/Xml.h"

namespace tarnfold::testing {

::testing::AssertionResult SameBytes(const Bytes& actual, const Bytes& expected) {
    const std::string difference = Difference(actual, expected);
    if (difference.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << difference;
}

CompileSummary Compile(const std::filesystem::path& path, std::string_view document) {
    HaloPcMap map;
    map.LoadMap(path);
    XmlDocument xml;
    xml.LoadXml(document);
    return ScriptCompilier().BuildScriptData(map, xml);
}

ScriptCompilier Build(std::string_view document) {
    XmlDocument xml;
    xml.LoadXml(document);
    ScriptCompilier compiler;
    compiler.BuildScripts(xml.DocumentElement());
    return compiler;
}

}  // namespace tarnfold::testing
