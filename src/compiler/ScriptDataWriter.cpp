#include "compiler/ScriptDataWriter.h"

#include <algorithm>

#include "compiler/ScenarioLayout.h"
#include "compiler/ScriptCompilier.h"
#include "compiler/math.h"
#include "map/HaloPcMap.h"
#include "map/Relocation.h"
#include "runtime/BinaryFile.h"
#include "runtime/ByteOrder.h"

namespace tarnfold {

namespace {

using namespace scenario;

std::vector<uint8_t> Int32Bytes(int32_t value) {
    std::vector<uint8_t> bytes(4);
    WriteInt32LE(bytes.data(), value);
    return bytes;
}

// Writes that land at or past `end` are lost: the inserted data and the moved
// tail are written over them afterwards.
void PatchBefore(MapRewrite& rewrite, int64_t end, int64_t offset, std::vector<uint8_t> bytes) {
    if (offset >= end) return;
    const int64_t kept = std::min<int64_t>(static_cast<int64_t>(bytes.size()), end - offset);
    bytes.resize(static_cast<size_t>(kept));
    rewrite.patches.push_back({offset, std::move(bytes)});
}

}  // namespace

MapRewrite PlanScriptDataWrite(const ScriptCompilier& build, const HaloPcMap& map, BinaryFile& old) {
    const int64_t S = map.Scenario()->Offset;
    const int32_t L = build.LengthIntoStrings;
    const int32_t L4 = math::RoundToMultiple(L, 4);
    const auto n = static_cast<int32_t>(build.Scripts.size());
    const int32_t growth = Wrap32(int64_t{kScriptRecordSize} * n + L4);
    const int32_t P = Wrap32(int64_t{build.ScriptTable} + build.ScriptTableSize);

    MapRewrite rewrite;

    // The new file: the head up to the string data, then the texts, the
    // reserve, 0xFF padding to a multiple of 4 and the records, then the tail.
    std::vector<uint8_t> inserted = build.StrBlock.Bytes();
    inserted.resize(inserted.size() + kStringReserve, 0);
    inserted.resize(inserted.size() + static_cast<size_t>(L4 - L), 0xFF);
    inserted.insert(inserted.end(), build.ScriptRecords.Bytes().begin(), build.ScriptRecords.Bytes().end());
    rewrite.pieces.push_back(MapRewrite::Piece::FromOldFile(0, build.ScriptTable));
    rewrite.pieces.push_back(MapRewrite::Piece::FromMemory(std::move(inserted)));
    rewrite.pieces.push_back(MapRewrite::Piece::FromOldFile(P, old.Length() - P));

    // The scenario's fields and the syntax data, written before the inserted
    // data in the file's history.
    const int64_t head = build.ScriptTable;
    PatchBefore(rewrite, head, S + kStringDataSize, Int32Bytes(kStringReserve + L));
    PatchBefore(rewrite, head, S + kScriptCount, Int32Bytes(n));
    PatchBefore(rewrite, head, S + kScriptsAddress, Int32Bytes(Wrap32(int64_t{P} + L4 + map.Magic)));

    std::vector<uint8_t> header(10);
    const int32_t current = build.CurrentSyntaxNumber;
    WriteInt16LE(header.data() + 0, current - ScriptCompilier::OriganalSyntaxNumber - 1);
    WriteInt16LE(header.data() + 2, build.RealSyn);
    WriteInt16LE(header.data() + 4, current - 1);
    WriteInt32LE(header.data() + 6, 0);
    PatchBefore(rewrite, head, int64_t{build.ScriptNode} + 10, std::move(header));
    PatchBefore(rewrite, head, int64_t{build.ScriptNode} + 20, build.SyntaxBlock.Bytes());

    // The further scenario address moves by the growth, whatever it holds.
    const auto moved = rewrite.Read(old, S + kMovedAddress, 4);
    rewrite.patches.push_back({S + kMovedAddress, Int32Bytes(Wrap32(int64_t{ReadInt32LE(moved.data())} + growth))});

    PlanRelocation(rewrite, old, map, map.TagCache.at(1).Offset, P, growth);
    return rewrite;
}

}  // namespace tarnfold
