#include "compiler/ScriptCompilier.h"

#include <algorithm>
#include <set>

#include "compiler/Attributes.h"
#include "compiler/DocumentChecks.h"
#include "compiler/ScenarioLayout.h"
#include "compiler/ScriptDataWriter.h"
#include "compiler/ScriptReader.h"
#include "compiler/ScriptRecordLayout.h"
#include "compiler/math.h"
#include "map/HaloPcMap.h"
#include "map/MapTransaction.h"
#include "runtime/BinaryFile.h"
#include "runtime/Error.h"
#include "runtime/Xml.h"

namespace tarnfold {

using namespace syntax;

// In 64 bits: `info` shows the capacity of maps whose size field is nonsense.
int32_t ScriptCompilier::NodeCapacity() const {
    return static_cast<int32_t>((int64_t{SyntaxDataSize} - kHeaderSize) / kNodeSize);
}

void ScriptCompilier::Warn(std::string warning) {
    if (OnWarning) OnWarning(warning);
    Warnings.push_back(std::move(warning));
}

void ScriptCompilier::BuildScripts(const XmlNode& root) {
    CurrentSyntaxNumber = OriganalSyntaxNumber;
    RealSyn = 0;
    StrBlock = MemoryBlock();
    SyntaxBlock = MemoryBlock();
    ScriptRecords = MemoryBlock();
    Scripts.clear();
    Warnings.clear();
    // The texts of an earlier compile are replaced, not added to.
    LengthIntoStrings = 0;
    StoreText("begin");  // once per build: both "begin" nodes of every script use text offset 0

    for (const char* attribute : {"NameAttr", "TypeAttr", "ReTypeAttr"})
        if (root.FindAttribute(attribute))
            Warn(DescribeElement(root) + ", the document element, carries " + attribute +
                 ", which is not read there; " + std::string(kWhereThingsGo));

    std::set<std::string> names;
    for (const XmlNode& script : root.Children) {
        if (!script.IsElement()) continue;  // comments and text under the root are no scripts
        if (IsExpressionElement(script.Name) && script.HasElementChildren())  // without, it is refused below
            Warn(DescribeElement(script) + " is taken for a script; " + std::string(kWhereThingsGo));
        BuildScript(script);
        if (!names.insert(Scripts.back().Name).second)
            Warn(DescribeElement(script) + ": a script named \"" + Scripts.back().Name +
                 "\" comes earlier in the document; the game keeps only one of them");
    }
}

void ScriptCompilier::BuildScript(const XmlNode& script) {
    const int32_t c0 = CurrentSyntaxNumber;

    // Four lead fillers, chained to each other; the last one's link names the
    // first body node. Fillers carry identity 0, the mark of a free slot.
    Syntax lead;
    lead.EngineIdentity = -1;
    lead.ValueType = 1;
    lead.ExpType = 0;
    lead.SibExpPointer = kNoLink;
    lead.ScriptValue = Link(c0 + 1);
    AppendNode(lead);
    for (int32_t k = 1; k <= 3; ++k) {
        Syntax filler;
        filler.EngineIdentity = -1;
        filler.ValueType = 0;
        filler.ExpType = 1;
        filler.SibExpPointer = Link(c0 + k + 1);
        AppendNode(filler);
    }
    CurrentSyntaxNumber = c0 + 4;
    const int32_t F = CurrentSyntaxNumber;

    // An expression element in a script's place is warned about as such.
    if (!IsExpressionElement(script.Name))
        for (std::string& warning : CheckScriptElement(script)) Warn(std::move(warning));
    ScriptHeader header;
    header.Type = ReadIntegerAttribute(script, "TypeAttr");
    header.ReturnType = ReadIntegerAttribute(script, "ReTypeAttr");
    header.Name = script.GetAttribute("NameAttr");
    if (header.Name.size() > static_cast<size_t>(script_record::kNameMax))
        throw Error(DescribeElement(script) + ": the script name \"" + header.Name + "\" is " +
                    std::to_string(header.Name.size()) + " bytes long; a script name holds at most " +
                    std::to_string(script_record::kNameMax) + " bytes");

    CurrentSyntaxNumber = XmlBuild(script, CurrentSyntaxNumber);
    if (CurrentSyntaxNumber == F && IsExpressionElement(script.Name))
        throw Error(DescribeElement(script) + " stands where a script belongs; " + std::string(kWhereThingsGo));
    if (CurrentSyntaxNumber == F)
        throw Error(DescribeElement(script) + ": the script \"" + header.Name +
                    "\" has no expressions; a script needs at least one");

    // The "begin" call that wraps the body, its name node and a closing filler.
    const int32_t A = CurrentSyntaxNumber;
    Syntax call;
    call.ExpIdentity = Identity(A);
    call.Command = "begin";
    call.EngineIdentity = 0;
    call.ValueType = header.ReturnType;
    call.KidExpPointer = A + 1;
    call.ExpType = kCallNode;
    call.ScriptValue = Link(A + 1);
    Syntax name;
    name.ExpIdentity = Identity(A + 1);
    name.Command = "begin";
    name.EngineIdentity = 0;
    name.ValueType = 2;
    name.SibExpPointer = Link(F);
    name.ExpType = kNameNode;
    RealSyn += 2;

    Syntax closing;
    closing.ValueType = 2;
    closing.ExpType = 1;
    closing.SibExpPointer = (static_cast<uint32_t>(RealSyn - 1) & 0xFFFFu) |
                            (static_cast<uint32_t>(Identity(F + 1)) << 16);
    closing.ScriptTableOffset = -1;
    AppendNode(call);
    AppendNode(name);
    AppendNode(closing);
    CurrentSyntaxNumber = A + 3;

    const size_t record = ScriptRecords.Grow(script_record::kSize);
    std::copy(header.Name.begin(), header.Name.end(), ScriptRecords.Data() + record + script_record::kName);
    ScriptRecords.SetInt16(record + script_record::kType, header.Type);
    ScriptRecords.SetInt16(record + script_record::kReturnType, header.ReturnType);
    ScriptRecords.SetUInt32(record + script_record::kRoot, Link(A));
    Scripts.push_back(std::move(header));
}

void ScriptCompilier::CheckLimits() const {
    if (NodeCount() > NodeCapacity())
        throw Error("the scripts need " + std::to_string(NodeCount()) +
                    " syntax nodes, but the scenario's syntax data holds at most " +
                    std::to_string(NodeCapacity()) + " (syntax data size " + std::to_string(SyntaxDataSize) +
                    ")");
    if (Scripts.size() > static_cast<size_t>(scenario::kMaxScripts))
        throw Error("the document holds " + std::to_string(Scripts.size()) + " scripts; the game loads at most " +
                    std::to_string(scenario::kMaxScripts) + " scripts per scenario");
    const int64_t stringData = int64_t{LengthIntoStrings} + scenario::kStringReserve;
    if (stringData > scenario::kMaxStringData)
        throw Error("the scripts' texts need " + std::to_string(stringData) +
                    " bytes of string data (with its " + std::to_string(scenario::kStringReserve) +
                    "-byte reserve); the game loads at most " + std::to_string(scenario::kMaxStringData) +
                    " bytes");
}

// The scripts of the new map, read back and built again, must be the bytes
// this build made: a compile never leaves a map whose scripts `scripts`
// could not give back exactly.
void ScriptCompilier::VerifyReadBack(const HaloPcMap& map, const std::filesystem::path& written) const {
    ScriptCompilier again;
    std::string why;
    try {
        again.BuildScripts(ReadScriptDocument(map, written));
        if (again.SyntaxBlock.Bytes() != SyntaxBlock.Bytes()) why = "their syntax nodes differ";
        else if (again.StrBlock.Bytes() != StrBlock.Bytes()) why = "their texts differ";
        else if (again.ScriptRecords.Bytes() != ScriptRecords.Bytes()) why = "their script records differ";
    } catch (const Error& error) {
        why = error.what();
    }
    if (!why.empty())
        throw Error("internal error: the scripts read back from the new map do not build the same bytes (" + why +
                    "); the map was not changed");
}

CompileSummary ScriptCompilier::BuildScriptData(const HaloPcMap& map, const XmlDocument& document,
                                                const CompileOptions& options) {
    if (map.f.empty()) throw Error("no map is loaded: load a map first");

    // Held until the new map has replaced the old one. Under the lock the map
    // is read again, so the compile works on the file as it is now, not as it
    // was when it was loaded.
    MapTransaction transaction(map.f, !options.dryRun, options.onWait);
    std::vector<std::string> notes;
    if (transaction.StaleTemporariesRemoved() > 0) {
        // Said at once: it is news about the folder whatever becomes of the compile.
        notes.push_back("removed " + std::to_string(transaction.StaleTemporariesRemoved()) +
                        " temporary file(s) left next to the map by an interrupted compile");
        if (options.onWarning) options.onWarning(notes.back());
    }
    HaloPcMap current;
    current.LoadMap(map.f);

    LoadScriptData(current);
    CheckScriptData(current);
    BinaryFile old(current.f);
    CompileSummary summary;
    summary.recompiled = CompiledByTarnfold(old.Length());
    OnWarning = options.onWarning;
    BuildScripts(document.DocumentElement());
    if (options.checkDocument)
        for (std::string& warning : options.checkDocument(document.DocumentElement())) Warn(std::move(warning));
    CheckLimits();
    if (options.strict && !Warnings.empty())
        throw Error(std::to_string(Warnings.size()) + " warning(s), and strict checking turns them into errors; "
                    "nothing was written");

    const MapRewrite rewrite = PlanScriptDataWrite(*this, current, old);
    // Where tag 1's data starts inside the new script data, the relocation
    // scan runs over it and moves words that look like addresses into the
    // moved part: those scripts no longer read back as built.
    const auto inserted = static_cast<size_t>(StrBlock.Size() + scenario::kStringReserve +
                                              (math::RoundToMultiple(LengthIntoStrings, 4) - LengthIntoStrings) +
                                              ScriptRecords.Size());
    const bool scriptsRelocated =
        rewrite.ReadFinal(old, ScriptTable, inserted) != rewrite.Read(old, ScriptTable, inserted);
    if (scriptsRelocated)
        Warn("tag 1's data starts inside the new script data, and the relocation moved words in it that look "
             "like addresses; reading the scripts back will not give them exactly");
    if (options.dryRun) {
        summary.relocatedWords = rewrite.WriteTo(old, nullptr);
        summary.dryRun = true;
    } else {
        WriteHooks hooks = options.hooks;
        hooks.verify = [&](const std::filesystem::path& written) {
            VerifyScriptDataWrite(rewrite, old, written);
            if (!scriptsRelocated) VerifyReadBack(current, written);
            if (options.hooks.verify) options.hooks.verify(written);
        };
        summary.relocatedWords = transaction.Replace(rewrite, old, hooks);
    }

    summary.scripts = static_cast<int32_t>(Scripts.size());
    summary.nodes = NodeCount();
    summary.nodeCapacity = NodeCapacity();
    summary.textBytes = LengthIntoStrings;
    summary.growth = static_cast<int32_t>(rewrite.Length() - old.Length());
    summary.warnings = notes;
    summary.warnings.insert(summary.warnings.end(), Warnings.begin(), Warnings.end());
    return summary;
}

}  // namespace tarnfold
