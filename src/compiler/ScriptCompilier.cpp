#include "compiler/ScriptCompilier.h"

#include "compiler/Attributes.h"
#include "compiler/ScenarioLayout.h"
#include "compiler/ScriptDataWriter.h"
#include "compiler/math.h"
#include "map/HaloPcMap.h"
#include "runtime/AtomicFile.h"
#include "runtime/BinaryFile.h"
#include "runtime/Error.h"
#include "runtime/FileLock.h"
#include "runtime/Xml.h"

namespace tarnfold {

using namespace scenario;

// In 64 bits: `info` shows the capacity of maps whose size field is nonsense.
int32_t ScriptCompilier::NodeCapacity() const {
    return static_cast<int32_t>((int64_t{SyntaxDataSize} - kSyntaxHeaderSize) / kNodeSize);
}

void ScriptCompilier::BuildScripts(const XmlNode& root) {
    CurrentSyntaxNumber = OriganalSyntaxNumber;
    RealSyn = 0;
    StrBlock = MemoryBlock();
    SyntaxBlock = MemoryBlock();
    ScriptRecords = MemoryBlock();
    Scripts.clear();
    Warnings.clear();
    StoreText("begin");  // once per build: both "begin" nodes of every script use text offset 0

    for (const XmlNode& script : root.Children)
        if (script.IsElement()) BuildScript(script);  // comments and text under the root are no scripts
}

void ScriptCompilier::BuildScript(const XmlNode& script) {
    const int32_t c0 = CurrentSyntaxNumber;

    // Four lead fillers, chained to each other; the last one's link names the
    // first body node.
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

    ScriptHeader header;
    header.Type = ReadIntegerAttribute(script, "TypeAttr");
    header.ReturnType = ReadIntegerAttribute(script, "ReTypeAttr");
    header.Name = script.GetAttribute("NameAttr");
    if (header.Name.size() > static_cast<size_t>(kScriptNameMax))
        throw Error(DescribeElement(script) + ": the script name \"" + header.Name + "\" is " +
                    std::to_string(header.Name.size()) + " bytes long; a script name holds at most " +
                    std::to_string(kScriptNameMax) + " bytes");

    CurrentSyntaxNumber = XmlBuild(script, CurrentSyntaxNumber);
    if (CurrentSyntaxNumber == F)
        throw Error(DescribeElement(script) + ": the script \"" + header.Name +
                    "\" has no expressions; a script needs at least one");

    // The "begin" call that wraps the body, its name node and a closing filler.
    const int32_t A = CurrentSyntaxNumber;
    Syntax call;
    call.ExpIdentity = A;
    call.Command = "begin";
    call.EngineIdentity = 0;
    call.ValueType = header.ReturnType;
    call.KidExpPointer = A + 1;
    call.ExpType = kCallNode;
    call.ScriptValue = Link(A + 1);
    Syntax name;
    name.ExpIdentity = A + 1;
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
                            ((static_cast<uint32_t>(F + 1) & 0xFFFFu) << 16);
    closing.ScriptTableOffset = -1;
    AppendNode(call);
    AppendNode(name);
    AppendNode(closing);
    CurrentSyntaxNumber = A + 3;

    const size_t record = ScriptRecords.Grow(kScriptRecordSize);
    std::copy(header.Name.begin(), header.Name.end(), ScriptRecords.Data() + record);
    ScriptRecords.SetInt16(record + 32, header.Type);
    ScriptRecords.SetInt16(record + 34, header.ReturnType);
    ScriptRecords.SetUInt32(record + 36, Link(A));
    Scripts.push_back(std::move(header));
}

CompileSummary ScriptCompilier::BuildScriptData(const HaloPcMap& map, const XmlDocument& document) {
    if (map.f.empty()) throw Error("no map is loaded: load a map first");

    // Held until the new map has replaced the old one. Under the lock the map
    // is read again, so the compile works on the file as it is now, not as it
    // was when it was loaded.
    const auto resolved = ResolveMapPath(map.f);
    FileLock lock(resolved);
    const int leftovers = RemoveStaleTemporaries(resolved);
    HaloPcMap current;
    current.LoadMap(map.f);

    LoadScriptData(current);
    CheckScriptData(current);
    BuildScripts(document.DocumentElement());
    if (NodeCount() > NodeCapacity())
        throw Error("the scripts need " + std::to_string(NodeCount()) +
                    " syntax nodes, but the scenario's syntax data holds at most " +
                    std::to_string(NodeCapacity()) + " (syntax data size " + std::to_string(SyntaxDataSize) +
                    ")");

    BinaryFile old(current.f);
    const MapRewrite rewrite = PlanScriptDataWrite(*this, current, old);
    if (rewrite.Length() > HaloPcMap::kMaxMapLength)
        throw Error("the compiled map would be " + std::to_string(rewrite.Length()) +
                    " bytes long; a map holds at most " + std::to_string(HaloPcMap::kMaxMapLength) +
                    " bytes, as its offsets are 32-bit");
    AtomicFile out(current.f);
    CompileSummary summary;
    summary.relocatedWords = rewrite.WriteTo(old, out);
    out.Commit();

    summary.scripts = static_cast<int32_t>(Scripts.size());
    summary.nodes = NodeCount();
    summary.textBytes = LengthIntoStrings;
    summary.growth = static_cast<int32_t>(rewrite.Length() - old.Length());
    summary.warnings = Warnings;
    if (leftovers > 0)
        summary.warnings.push_back("removed " + std::to_string(leftovers) +
                                   " temporary file(s) left next to the map by an interrupted compile");
    return summary;
}

}  // namespace tarnfold
