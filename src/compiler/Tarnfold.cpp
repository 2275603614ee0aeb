#include "compiler/Tarnfold.h"

#include <cstdlib>

#include "compiler/ScenarioLayout.h"
#include "compiler/ScriptReader.h"
#include "compiler/hsc/Tables.h"
#include "compiler/hsc/CheckNames.h"
#include "compiler/hsc/WriteHsc.h"
#include "compiler/hsc/Target.h"
#include "compiler/hsc/Translate.h"
#include "map/HaloPcMap.h"
#include "runtime/BinaryFile.h"
#include "runtime/Xml.h"
#include "runtime/XmlWriter.h"

namespace tarnfold {

namespace {

int32_t CountNodes(const XmlNode& element) {
    int32_t nodes = 0;
    for (const XmlNode& child : element.Children)
        nodes += (child.Name == "ScriptCommand" ? 2 : 1) + CountNodes(child);
    return nodes;
}

std::string TypeName(const std::string& number, bool script) {
    const int value = std::atoi(number.c_str());
    if (script) {
        const auto types = hsc::ScriptTypes();
        return value >= 0 && static_cast<size_t>(value) < types.size() ? std::string(types[value].name) : number;
    }
    const auto* type = hsc::ValueTypeByNumber(value);
    return type ? std::string(type->name) : number;
}

std::vector<ScriptReport> ListScripts(const XmlNode& document) {
    std::vector<ScriptReport> list;
    for (const XmlNode& script : document.Children) {
        ScriptReport report;
        report.name = script.GetAttribute("NameAttr");
        report.type = TypeName(script.GetAttribute("TypeAttr"), true);
        report.returnType = TypeName(script.GetAttribute("ReTypeAttr"), false);
        // Four lead fillers, the body, the "begin" call and name, a closing filler.
        report.nodes = 7 + CountNodes(script);
        list.push_back(std::move(report));
    }
    return list;
}

}  // namespace

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
    if (scripts.ScriptTableSize > scenario::kStringReserve) {
        try {
            report.scriptList = ListScripts(ReadScriptDocument(map, map.f));
        } catch (const Error& error) {
            report.scriptListProblem = error.what();
        }
    }
    return report;
}

namespace {

// The compile of a document tree, parsed or translated, into a loaded map:
// names checked against the map's game, then the build (which reads the map
// again under its lock).
CompileSummary CompileTree(const HaloPcMap& map, const XmlDocument& xml, const CompileOptions& options) {
    const hsc::Target target = hsc::ChooseTarget(map.f, options.engine);
    CompileOptions checked = options;
    checked.checkDocument = [&](const XmlNode& root) {
        std::vector<std::string> warnings = hsc::CheckNames(root, target.engine);
        if (!target.warning.empty()) warnings.insert(warnings.begin(), target.warning);
        return warnings;
    };
    CompileSummary summary = ScriptCompilier().BuildScriptData(map, xml, checked);
    summary.target = target.description;
    return summary;
}

// The map at `path`, read and checked before anything else touches it (a
// folder or a pipe is refused here, not waited on).
HaloPcMap Loaded(const std::filesystem::path& path) {
    if (path.empty()) throw Error("no map is loaded: load a map first");
    HaloPcMap map;
    map.LoadMap(path);
    return map;
}

}  // namespace

CompileSummary CompileDocument(const std::filesystem::path& path, std::string_view document,
                               const CompileOptions& options) {
    XmlDocument xml;
    xml.PreserveWhitespace = false;
    xml.LoadXml(document);
    return CompileTree(Loaded(path), xml, options);
}

std::string TranslateHsc(std::string_view source, const std::string& fileName, Engine engine) {
    return WriteXml(hsc::Translate(source, fileName, engine));
}

// The translated tree is compiled as it is: writing it out and reading it back
// gives the same tree (the tests hold the bytes of both ways equal), and
// would take most of the time.
CompileSummary CompileHsc(const std::filesystem::path& path, std::string_view source, const std::string& fileName,
                          const CompileOptions& options) {
    const HaloPcMap map = Loaded(path);  // refuses what is no map before the target is read from its header
    const Engine engine = hsc::ChooseTarget(path, options.engine).engine;
    return CompileTree(map, XmlDocument(hsc::Translate(source, fileName, engine)), options);
}

CompileSummary CompileScriptText(const std::filesystem::path& path, std::string_view text,
                                 const CompileOptions& options) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    const bool hsc = first != std::string_view::npos && (text[first] == '(' || text[first] == ';');
    return hsc ? CompileHsc(path, text, "script", options) : CompileDocument(path, text, options);
}

std::string ReadScriptsAsHsc(const std::filesystem::path& path, std::optional<Engine> engine) {
    const HaloPcMap map = Loaded(path);
    return hsc::WriteHsc(ReadScriptDocument(map, map.f), hsc::ChooseTarget(path, engine).engine);
}

}  // namespace tarnfold
