#include "compiler/ScriptCompilier.h"

#include <algorithm>
#include <set>

#include "compiler/Compile.h"
#include "compiler/DocumentChecks.h"
#include "compiler/MapFile.h"
#include "compiler/ScriptDataWriter.h"
#include "engine/CheckNames.h"
#include "engine/Target.h"
#include "hsc/Translate.h"
#include "map/MapTransaction.h"
#include "runtime/Utf8Path.h"
#include "runtime/Error.h"
#include "runtime/Printable.h"
#include "runtime/XmlAttributes.h"
#include "runtime/Xml.h"
#include "scenario/ScriptData.h"

namespace tarnfold {

using namespace syntax;

ScriptData ScriptCompilier::LoadScriptData(const HaloPcMap& map, BinaryFile& file) {
    return ScriptData::Read(map, file);
}

CompileSummary ScriptCompilier::BuildScriptData(MapTransaction& transaction, MapFile& map,
                                                const hsc::Translation& made,
                                                const engine::Target& target, const Level& level,
                                                const CompileOptions& options, const WriteHooks& hooks) {
    map.data.CheckPlacement(map.map, map.file.Length());
    CompileSummary summary;
    summary.recompiled = map.data.CompiledByTarnfold(map.file.Length());
    summary.engine = target.engine;
    summary.target = target.description;
    summary.targetReason = target.reason;
    if (map.data.HasScripts() && !summary.recompiled) {
        // Another tool's scripts: replaced only when asked, and said first.
        summary.replaced = std::to_string(map.data.scriptCount) + " scripts and " +
                           std::to_string(std::max(map.data.globalCount, 0)) + " globals that another tool compiled";
        const std::string readFirst = "read them back first with `tarnfold-cli scripts MAP --hsc`";
        if (!options.replaceForeign)
            throw Error("map '" + Utf8(map.map.f) + "' holds " + summary.replaced + ", which a compile replaces; " +
                        readFirst + ", then compile with --replace-foreign to replace them");
        if (options.onNote) options.onNote("replaced: " + summary.replaced + " (" + readFirst + ")");
    }

    const XmlNode& document = made.document;
    ScriptBuild build = BuildScripts(document, options.onWarning, &map.map.TagCache);
    build.warnings.insert(build.warnings.begin(), made.warnings.begin(), made.warnings.end());
    // What the map or the game cannot hold is refused before the load pass
    // walks nodes whose links a count past 16 bits would have wrapped.
    CheckLimits(build, map.data);
    const auto warn = [&](Diagnostic warning) {
        if (options.onWarning) options.onWarning(warning);
        build.warnings.push_back(std::move(warning));
    };
    if (!target.warning.empty()) warn({{}, 0, 0, "engine-ignored", target.warning});
    for (Diagnostic& warning : engine::CheckNames(document, target.engine)) warn(std::move(warning));
    std::vector<Diagnostic> failures;
    summary.check =
        CheckGameLoad(AsCompiled(build, map.data.SyntaxDataSize), level, target.engine, build.sources, &failures);
    for (Diagnostic& failure : failures) warn(std::move(failure));
    for (const std::string& unchecked : summary.check.unchecked) warn({{}, 0, 0, "not-checked", unchecked});
    CheckStrict(build, options.strict);

    const MapRewrite rewrite = PlanScriptDataWrite(build, map.data, map.map, map.file);
    if (options.dryRun) {
        summary.relocatedWords = rewrite.WriteTo(map.file, nullptr);
        summary.dryRun = true;
    } else {
        WriteHooks checked = hooks;
        checked.verify = [&](const std::filesystem::path& written) {
            VerifyScriptDataWrite(rewrite, map.file, written);
            VerifyReadBack(build, map.map, written);
            if (hooks.verify) hooks.verify(written);
        };
        summary.relocatedWords = transaction.Replace(rewrite, map.file, checked);
    }

    summary.scripts = static_cast<int32_t>(build.scripts.size());
    summary.nodes = build.nodeCount;
    summary.nodeCapacity = map.data.NodeCapacity();
    summary.textBytes = build.TextBytes();
    summary.growth = static_cast<int32_t>(rewrite.Length() - map.file.Length());
    summary.warnings = std::move(build.warnings);
    return summary;
}

void ScriptCompilier::Warn(Diagnostic warning) {
    if (onWarning_) onWarning_(warning);
    build_.warnings.push_back(std::move(warning));
}

ScriptBuild ScriptCompilier::BuildScripts(const XmlNode& root, const WarningCallback& onWarning,
                                          const std::vector<Tag>* tags) {
    CurrentSyntaxNumber = OriganalSyntaxNumber;
    RealSyn = 0;
    StrBlock = MemoryBlock();
    SyntaxBlock = MemoryBlock();
    build_ = ScriptBuild();
    onWarning_ = onWarning;
    tags_ = tags;
    // Calls may name a script that comes later; the first of a name is meant.
    callTargets_.clear();
    int32_t index = 0;
    for (const XmlNode& script : root.Children)
        if (script.IsElement() && script.Name != "ScenarioGlobal")
            callTargets_.try_emplace(script.GetAttribute("NameAttr"),
                                     CallTarget{index++, ReadIntegerAttribute(script, "TypeAttr")});
    LengthIntoStrings = 0;  // the texts of an earlier compile are replaced, not added to
    StoreText("begin");     // once per build: both "begin" nodes of every script use text offset 0

    for (const char* attribute : {"NameAttr", "TypeAttr", "ReTypeAttr"})
        if (root.FindAttribute(attribute))
            Warn(AtElement(root, "misplaced", std::string(", the document element, carries ") + attribute +
                                                  ", which is not read there; " + std::string(kWhereThingsGo)));

    std::set<std::string> names;
    for (const XmlNode& script : root.Children) {
        if (!script.IsElement()) continue;  // comments and text under the root are no scripts
        if (script.Name == "ScenarioGlobal") {
            BuildGlobal(script);
            continue;
        }
        if (IsExpressionElement(script.Name) && script.HasElementChildren())  // without, it is refused below
            Warn(AtElement(script, "misplaced", " is taken for a script; " + std::string(kWhereThingsGo)));
        BuildScript(script);
        if (!names.insert(build_.scripts.back().Name).second)
            Warn(AtElement(script, "duplicate-script",
                           ": a script named \"" + Printable(build_.scripts.back().Name) +
                               "\" comes earlier in the document; the game keeps only one of them"));
    }

    ScriptBuild build = std::move(build_);
    build.nodes = std::move(SyntaxBlock.Bytes());
    build.texts = std::move(StrBlock.Bytes());
    build.nodeCount = CurrentSyntaxNumber - OriganalSyntaxNumber;
    build.realSyn = RealSyn;
    build_ = ScriptBuild();
    return build;
}

void ScriptCompilier::BuildScript(const XmlNode& script) {
    const int32_t c0 = CurrentSyntaxNumber;

    // Four lead fillers, chained to each other; the last one's link names the
    // first body node. Fillers carry identity 0, the mark of a free slot.
    Syntax lead;
    lead.EngineIdentity = -1;
    lead.ValueType = 1;
    lead.ExpType = 0;
    lead.ScriptValue = Link(c0 + 1);
    AppendNode(lead);
    for (int32_t k = 1; k <= 3; ++k) {
        Syntax filler;
        filler.EngineIdentity = -1;
        filler.ExpType = 1;
        filler.SibExpPointer = Link(c0 + k + 1);
        AppendNode(filler);
    }
    CurrentSyntaxNumber = c0 + 4;
    const int32_t F = CurrentSyntaxNumber;

    // An expression element in a script's place is warned about as such.
    if (!IsExpressionElement(script.Name))
        for (Diagnostic& warning : CheckScriptElement(script)) Warn(std::move(warning));
    ScriptHeader header;
    header.Type = ReadIntegerAttribute(script, "TypeAttr");
    header.ReturnType = ReadIntegerAttribute(script, "ReTypeAttr");
    header.Name = script.GetAttribute("NameAttr");
    if (header.Name.size() > static_cast<size_t>(script_record::kNameMax))
        throw ElementError(script, ": the script name \"" + Printable(header.Name) + "\" is " +
                                       std::to_string(header.Name.size()) + " bytes long; a script name holds at most " +
                                       std::to_string(script_record::kNameMax) + " bytes");

    CurrentSyntaxNumber = XmlBuild(script, CurrentSyntaxNumber);
    if (CurrentSyntaxNumber == F && IsExpressionElement(script.Name))
        throw ElementError(script, " stands where a script belongs; " + std::string(kWhereThingsGo));
    if (CurrentSyntaxNumber == F)
        throw ElementError(script, ": the script \"" + Printable(header.Name) +
                                       "\" has no expressions; a script needs at least one");

    // The "begin" call that wraps the body, its name node and a closing filler.
    const int32_t A = CurrentSyntaxNumber;
    Syntax call;
    call.ExpIdentity = Identity(A);
    call.ValueType = static_cast<int16_t>(header.ReturnType);
    call.ExpType = kCallNode;
    call.ScriptValue = Link(A + 1);
    Syntax name;
    name.ExpIdentity = Identity(A + 1);
    name.ValueType = value_type::kFunctionName;
    name.SibExpPointer = Link(F);
    name.ExpType = kNameNode;
    RealSyn += 2;

    Syntax closing;
    closing.ValueType = value_type::kFunctionName;
    closing.ExpType = 1;
    closing.SibExpPointer =
        (static_cast<uint32_t>(RealSyn - 1) & 0xFFFFu) | (static_cast<uint32_t>(Identity(F + 1)) << 16);
    closing.ScriptTableOffset = -1;
    AppendNode(call);
    AppendNode(name);
    AppendNode(closing);
    CurrentSyntaxNumber = A + 3;

    header.Root = Link(A);
    build_.scripts.push_back(std::move(header));
}

// A scenario global: its record names the root node of its initial value,
// one expression whose nodes stand where the global stands in the document.
void ScriptCompilier::BuildGlobal(const XmlNode& global) {
    for (Diagnostic& warning : CheckGlobalElement(global)) Warn(std::move(warning));
    GlobalRecord record;
    record.Name = global.GetAttribute("NameAttr");
    record.Type = ReadIntegerAttribute(global, "ValueType");
    if (record.Name.size() > static_cast<size_t>(global_record::kNameMax))
        throw ElementError(global, ": the global name \"" + Printable(record.Name) + "\" is " +
                                       std::to_string(record.Name.size()) + " bytes long; a global name holds at most " +
                                       std::to_string(global_record::kNameMax) + " bytes");
    size_t values = 0;
    for (const XmlNode& child : global.Children) values += child.IsElement();
    if (values != 1)
        throw ElementError(global, ": the global \"" + Printable(record.Name) + "\" has " + std::to_string(values) +
                                       " elements inside; its initial value is one expression");
    const int32_t first = CurrentSyntaxNumber;
    CurrentSyntaxNumber = XmlBuild(global, first);
    if (CurrentSyntaxNumber == first)
        throw ElementError(global, ": the global \"" + Printable(record.Name) + "\" has no initial value");
    record.Initial = Link(first);
    build_.globals.push_back(std::move(record));
}

}  // namespace tarnfold
