#include "compiler/ScriptDataWriter.h"

#include <algorithm>

#include "compiler/ScenarioLayout.h"
#include "compiler/ScriptCompilier.h"
#include "compiler/ScriptRecordLayout.h"
#include "compiler/math.h"
#include "map/HaloPcMap.h"
#include "map/MapLayout.h"
#include "map/Relocation.h"
#include "runtime/BinaryFile.h"
#include "runtime/ByteOrder.h"
#include "runtime/Error.h"

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
    // What is replaced: [ScriptTable, E0), the string data of a map without
    // scripts, or the texts, reserve, padding and records of an earlier compile.
    const int64_t E0 = build.ReplacedEnd();
    const int64_t newSize = int64_t{kStringReserve} + L4 + int64_t{script_record::kSize} * n;
    const int32_t growth = Wrap32(newSize - (E0 - build.ScriptTable));

    MapRewrite rewrite;

    // The new file: the head up to the string data, then the texts, the
    // reserve, 0xFF padding to a multiple of 4 and the records, then the tail.
    std::vector<uint8_t> inserted = build.StrBlock.Bytes();
    inserted.resize(inserted.size() + kStringReserve, 0);
    inserted.resize(inserted.size() + static_cast<size_t>(L4 - L), 0xFF);
    inserted.insert(inserted.end(), build.ScriptRecords.Bytes().begin(), build.ScriptRecords.Bytes().end());
    rewrite.pieces.push_back(MapRewrite::Piece::FromOldFile(0, build.ScriptTable));
    rewrite.pieces.push_back(MapRewrite::Piece::FromMemory(std::move(inserted)));
    rewrite.pieces.push_back(MapRewrite::Piece::FromOldFile(E0, old.Length() - E0));

    // The scenario's fields and the syntax data, written before the inserted
    // data in the file's history.
    const int64_t head = build.ScriptTable;
    const int64_t records = int64_t{build.ScriptTable} + kStringReserve + L4;
    PatchBefore(rewrite, head, S + kStringDataSize, Int32Bytes(kStringReserve + L));
    PatchBefore(rewrite, head, S + kScriptCount, Int32Bytes(n));
    PatchBefore(rewrite, head, S + kScriptsAddress, Int32Bytes(OffsetToAddress(records, map.Magic)));

    const int64_t syntaxHeader = int64_t{build.ScriptNode} - syntax::kScriptNodeBias;
    std::vector<uint8_t> header(syntax::kWrittenHeaderSize);
    const int32_t nodes = build.NodeCount();
    WriteInt16LE(header.data() + (syntax::kLastIndex - syntax::kLastIndex), nodes - 1);
    WriteInt16LE(header.data() + (syntax::kRealSyn - syntax::kLastIndex), build.RealSyn);
    WriteInt16LE(header.data() + (syntax::kLastIdentity - syntax::kLastIndex), syntax::Identity(nodes - 1));
    WriteInt32LE(header.data() + (syntax::kHeaderZero - syntax::kLastIndex), 0);
    PatchBefore(rewrite, head, syntaxHeader + syntax::kLastIndex, std::move(header));
    // The nodes, and where an earlier compile left more, free slots after
    // them: no stale node with a live identity stays behind.
    std::vector<uint8_t> array = build.SyntaxBlock.Bytes();
    if (build.CompiledByTarnfold(old.Length()))
        array.resize(std::max<size_t>(array.size(), size_t{syntax::kNodeSize} * build.NodesInUse()), 0);
    PatchBefore(rewrite, head, syntaxHeader + syntax::kHeaderSize, std::move(array));

    // The further scenario address moves by the growth, whatever it holds.
    const auto moved = rewrite.Read(old, S + kMovedAddress, 4);
    rewrite.patches.push_back({S + kMovedAddress, Int32Bytes(Wrap32(int64_t{ReadInt32LE(moved.data())} + growth))});

    // The scan starts at tag 1's data as loaded; when the map shrinks, that
    // data has moved back by as much.
    int64_t scanStart = map.TagCache.at(1).Offset;
    if (growth < 0 && scanStart >= E0) scanStart += growth;
    PlanRelocation(rewrite, old, map, Wrap32(scanStart), Wrap32(E0), growth);
    return rewrite;
}

void VerifyScriptDataWrite(const MapRewrite& rewrite, BinaryFile& old, const std::filesystem::path& written) {
    BinaryFile file(written);
    if (file.Length() != rewrite.Length())
        throw Error("internal error: the new map is " + std::to_string(file.Length()) + " bytes long instead of " +
                    std::to_string(rewrite.Length()) + "; the map was not changed");
    const auto check = [&](int64_t offset, size_t count) {
        if (count == 0) return;
        if (file.ReadBytes(offset, count) != rewrite.ReadFinal(old, offset, count))
            throw Error("internal error: the new map's script data does not read back as built (" +
                        std::to_string(count) + " bytes at offset " + DescribeOffset(offset) +
                        "); the map was not changed");
    };
    for (const auto& patch : rewrite.patches) check(patch.offset, patch.bytes.size());
    int64_t at = 0;
    for (const auto& piece : rewrite.pieces) {
        if (piece.fromMemory) check(at, piece.bytes.size());
        at += piece.length;
    }
}

}  // namespace tarnfold
