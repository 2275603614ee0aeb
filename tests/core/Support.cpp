#include "Support.h"

#include <algorithm>
#include <sstream>

#include "map/HaloPcMap.h"
#include "runtime/Xml.h"

namespace tarnfold::testing {

::testing::AssertionResult SameBytes(const Bytes& actual, const Bytes& expected) {
    const auto [a, e] = std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    if (a == actual.end() && e == expected.end()) return ::testing::AssertionSuccess();
    std::ostringstream why;
    why << "lengths " << actual.size() << " and " << expected.size();
    if (a != actual.end() && e != expected.end())
        why << ", first difference at offset " << (a - actual.begin()) << ": 0x" << std::hex << int(*a)
            << " instead of 0x" << int(*e);
    return ::testing::AssertionFailure() << why.str();
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
