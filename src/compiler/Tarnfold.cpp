#include "compiler/Tarnfold.h"

#include <cstdlib>
#include <functional>

#include "compiler/Compile.h"
#include "compiler/Internal.h"
#include "compiler/MapFile.h"
#include "compiler/ScriptCompilier.h"
#include "compiler/ScriptReader.h"
#include "engine/LoadCheck.h"
#include "engine/Tables.h"
#include "engine/Target.h"
#include "hsc/Translate.h"
#include "hsc/WriteHsc.h"
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
        const auto types = engine::ScriptTypes();
        return value >= 0 && static_cast<size_t>(value) < types.size() ? std::string(types[value].name) : number;
    }
    const auto* type = engine::ValueTypeByNumber(value);
    return type ? std::string(type->name) : number;
}

std::vector<ScriptReport> ListScripts(const XmlNode& document) {
    std::vector<ScriptReport> list;
    for (const XmlNode& script : document.Children) {
        if (script.Name != "script") continue;
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

// The document a compile builds, and the warnings that making it gave, made
// once the map's game and level are known.
using DocumentFor = std::function<hsc::Translation(Engine, const Level&)>;

// A warning at a place in the script names the script's file.
Diagnostic Named(Diagnostic warning, const std::string& file) {
    if (warning.Placed() && warning.file.empty()) warning.file = file;
    return warning;
}

CompileSummary Compile(const std::filesystem::path& path, const DocumentFor& document, const CompileOptions& options,
                       const WriteHooks& hooks);

// A compile of the script named `file`: its warnings and errors at places in
// it name the file.
CompileSummary CompileNamed(const std::filesystem::path& path, const std::string& file, const DocumentFor& document,
                            const CompileOptions& options, const WriteHooks& hooks) {
    CompileOptions named = options;
    if (options.onWarning)
        named.onWarning = [&](const Diagnostic& warning) { options.onWarning(Named(warning, file)); };
    try {
        CompileSummary summary = Compile(path, document, named, hooks);
        for (Diagnostic& warning : summary.warnings) warning = Named(std::move(warning), file);
        return summary;
    } catch (const SourceError& error) {
        throw error.In(file);
    }
}

// One compile from start to end: lock the map, read it once, choose the
// game, make the document, build and write.
CompileSummary Compile(const std::filesystem::path& path, const DocumentFor& document, const CompileOptions& options,
                       const WriteHooks& hooks) {
    RequireMap(path);
    RequireRegularFile(path, "map file");  // refused at once, not waited on
    MapTransaction transaction(path, options.onWait);
    MapFile map(path);
    std::vector<Diagnostic> notes;
    // A dry run changes nothing, not even stale files.
    if (const int removed = options.dryRun ? 0 : transaction.SweepStaleTemporaries(); removed > 0) {
        // Said at once: it is news about the folder whatever becomes of the compile.
        notes.push_back({{}, 0, 0, "removed-temporary",
                         "removed " + std::to_string(removed) +
                             " temporary file(s) left next to the map by an interrupted compile"});
        if (options.onWarning) options.onWarning(notes.back());
    }
    const engine::Target target = engine::ChooseTarget(map.map, options.engine);
    const Level level = Level::Read(map.map, map.file);
    hsc::Translation made = document(target.engine, level);
    for (const Diagnostic& warning : made.warnings)
        if (options.onWarning) options.onWarning(warning);
    CompileSummary summary = ScriptCompilier().BuildScriptData(transaction, map, made, target, level, options, hooks);
    summary.warnings.insert(summary.warnings.begin(), notes.begin(), notes.end());
    return summary;
}

XmlNode ParseDocument(std::string_view document, const std::string& file) {
    XmlDocument xml;
    try {
        xml.LoadXml(document);
    } catch (const SourceError& error) {
        throw error.In(file);
    }
    return std::move(xml).DocumentElement();
}

std::vector<GlobalReport> ListGlobals(const XmlNode& document) {
    std::vector<GlobalReport> list;
    for (const XmlNode& global : document.Children)
        if (global.Name == "ScenarioGlobal")
            list.push_back({global.GetAttribute("NameAttr"), TypeName(global.GetAttribute("ValueType"), false)});
    return list;
}

}  // namespace

LoadCheck CheckMap(const std::filesystem::path& path) {
    MapFile map(path);
    if (!map.data.HasScripts()) return {true, true, {}, {}};
    const CompiledScripts compiled = ReadCompiledScripts(map);
    return CheckGameLoad(compiled, Level::Read(map.map, map.file), engine::ChooseTarget(map.map, std::nullopt).engine);
}

MapReport DescribeMap(const std::filesystem::path& path) {
    MapFile opened(path);
    const HaloPcMap& map = opened.map;
    const ScriptData& data = opened.data;

    MapReport report;
    report.map = map.f;
    const engine::Target target = engine::ChooseTarget(map, std::nullopt);
    report.game = target.description;
    report.engine = target.engine;
    report.engineReason = target.reason;
    report.headLayout = map.HeadLayout;
    report.indexOffset = map.indexOffset;
    report.magic = map.Magic;
    report.tagCount = map.TagCount;
    report.scenarioClass = map.Scenario()->Class1;
    report.scenarioName = map.Scenario()->Name;
    report.scenarioOffset = map.Scenario()->Offset;
    report.syntaxDataSize = data.SyntaxDataSize;
    report.gameSizedSyntaxData = data.SyntaxDataSize == engine::kGameSyntaxDataSize;
    report.nodes = data.NodesInUse();
    report.nodeCapacity = data.NodeCapacity();
    report.scripts = data.scriptCount;
    report.maxScripts = scenario::kMaxScripts;
    report.stringDataSize = data.ScriptTableSize;
    report.maxStringData = scenario::kMaxStringData;
    report.hasScripts = data.HasScripts();
    report.compiledByTarnfold = data.CompiledByTarnfold(opened.file.Length());
    if (report.hasScripts) {
        try {
            // Read once: the document and the load pass both take them.
            const CompiledScripts compiled = ReadCompiledScripts(opened);
            const XmlNode document = ReadScriptDocument(opened, compiled);
            report.scriptList = ListScripts(document);
            report.globalList = ListGlobals(document);
            report.check = CheckGameLoad(compiled, Level::Read(map, opened.file), target.engine);
        } catch (const Error& error) {
            report.scriptListProblem = error.what();
        }
    }
    return report;
}

CompileSummary CompileDocument(const std::filesystem::path& path, std::string_view document,
                               const CompileOptions& options, const WriteHooks& hooks) {
    // Parsed before the map is touched: a malformed document waits for no lock.
    XmlNode root = ParseDocument(document, options.documentName);
    return CompileNamed(
        path, options.documentName, [&](Engine, const Level&) { return hsc::Translation{std::move(root), {}}; },
        options, hooks);
}

CompileSummary CompileDocument(const std::filesystem::path& path, std::string_view document,
                               const CompileOptions& options) {
    return CompileDocument(path, document, options, WriteHooks{});
}

std::string TranslateHsc(std::string_view source, const std::string& fileName, Engine engine) {
    return WriteXml(hsc::Translate(source, fileName, engine).document);
}

// The translated tree is compiled as it is: writing it out and reading it back
// gives the same tree (the tests hold the bytes of both ways equal), and
// would take most of the time.
CompileSummary CompileHsc(const std::filesystem::path& path, std::string_view source, const std::string& fileName,
                          const CompileOptions& options, const WriteHooks& hooks) {
    return CompileNamed(
        path, fileName,
        [&](Engine engine, const Level& level) { return hsc::Translate(source, fileName, engine, &level); }, options,
        hooks);
}

CompileSummary CompileHsc(const std::filesystem::path& path, std::string_view source, const std::string& fileName,
                          const CompileOptions& options) {
    return CompileHsc(path, source, fileName, options, WriteHooks{});
}

bool LooksLikeHsc(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);  // a UTF-8 byte-order mark
    const size_t first = text.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && (text[first] == '(' || text[first] == ';');
}

CompileSummary CompileScriptText(const std::filesystem::path& path, std::string_view text,
                                 const CompileOptions& options) {
    return LooksLikeHsc(text) ? CompileHsc(path, text, "script", options) : CompileDocument(path, text, options);
}

std::string ReadScripts(const std::filesystem::path& path) {
    MapFile map(path);
    return WriteXml(ReadScriptDocument(map));
}

std::string ReadScriptsAsHsc(const std::filesystem::path& path, std::optional<Engine> engine) {
    MapFile map(path);
    return hsc::WriteHsc(ReadScriptDocument(map), engine::ChooseTarget(map.map, engine).engine);
}

ScriptBuild BuildDocument(std::string_view document, const std::vector<Tag>* tags) {
    return ScriptCompilier().BuildScripts(ParseDocument(document, "<document>"), {}, tags);
}

}  // namespace tarnfold
