#include "compiler/ScriptDataWriter.h"

#include <algorithm>

#include "map/HaloPcMap.h"
#include "map/MapLayout.h"
#include "map/Relocation.h"
#include "runtime/Utf8Path.h"
#include "runtime/BinaryFile.h"
#include "runtime/ByteOrder.h"
#include "runtime/Error.h"
#include "scenario/AddressFields.h"
#include "scenario/ScriptData.h"
#include "scenario/Syntax.h"

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

// The texts, the reserve, 0xFF padding to a multiple of 4, the script
// records and the global records: what replaces the old script data.
std::vector<uint8_t> Inserted(const ScriptBuild& build, const StringDataLayout& layout) {
    std::vector<uint8_t> bytes = build.texts;
    bytes.resize(static_cast<size_t>(layout.padding), 0);
    bytes.resize(static_cast<size_t>(layout.scripts), 0xFF);
    for (const ScriptHeader& script : build.scripts) {
        const auto record = script.Encode();
        bytes.insert(bytes.end(), record.begin(), record.end());
    }
    for (const GlobalRecord& global : build.globals) {
        const auto record = global.Encode();
        bytes.insert(bytes.end(), record.begin(), record.end());
    }
    return bytes;
}

}  // namespace

MapRewrite PlanScriptDataWrite(const ScriptBuild& build, const ScriptData& data, const HaloPcMap& map,
                                    BinaryFile& old) {
    const int64_t S = data.scenario;
    const StringDataLayout layout = LayOutStringData(build.TextBytes(), static_cast<int64_t>(build.scripts.size()),
                                                     static_cast<int64_t>(build.globals.size()));
    // What is replaced: [ScriptTable, E0), the string data of a map without
    // scripts, or the texts, reserve, padding and records of an earlier compile.
    const int64_t E0 = data.ReplacedEnd(old.Length());
    const int32_t growth = Wrap32(layout.end - (E0 - data.ScriptTable));
    // The relocation compares addresses as signed numbers: where the map's
    // addresses run across 0x7FFFFFFF, those past it would be taken for small.
    const int64_t longest = std::max(old.Length(), old.Length() + growth);
    if (int64_t{map.Magic} + longest > int64_t{1} << 31)
        throw Error("map '" + Utf8(map.f) + "': the map's addresses run past 0x7FFFFFFF (Magic " +
                    DescribeOffset(static_cast<uint32_t>(map.Magic)) + " + " + std::to_string(longest) +
                    " bytes), and Tarnfold cannot move them safely");

    MapRewrite rewrite;

    // The new file: the head up to the string data, the new script data, the tail.
    std::vector<uint8_t> inserted = Inserted(build, layout);
    rewrite.pieces.push_back(MapRewrite::Piece::FromOldFile(0, data.ScriptTable));
    rewrite.pieces.push_back(MapRewrite::Piece::FromMemory(std::move(inserted)));
    rewrite.pieces.push_back(MapRewrite::Piece::FromOldFile(E0, old.Length() - E0));

    // The scenario's fields and the syntax data, written before the inserted
    // data in the file's history.
    const int64_t head = data.ScriptTable;
    PatchBefore(rewrite, head, S + kStringDataSize, Int32Bytes(layout.SizeField()));
    PatchBefore(rewrite, head, S + kScriptCount, Int32Bytes(static_cast<int32_t>(build.scripts.size())));
    PatchBefore(rewrite, head, S + kScriptsAddress, Int32Bytes(OffsetToAddress(head + layout.scripts, map.Magic)));
    // The globals block is the compile's when it writes globals, and when
    // the map held some: their initial values' nodes are overwritten.
    if (!build.globals.empty() || data.globalCount != 0) {
        PatchBefore(rewrite, head, S + kGlobalCount, Int32Bytes(static_cast<int32_t>(build.globals.size())));
        PatchBefore(rewrite, head, S + kGlobalsAddress,
                    Int32Bytes(OffsetToAddress(head + layout.globals, map.Magic)));
    }

    const syntax::SyntaxHeader header{build.nodeCount, build.realSyn};
    const auto headerBytes = header.Encode();
    PatchBefore(rewrite, head, int64_t{data.syntaxHeader} + syntax::SyntaxHeader::kWrittenFrom,
                std::vector<uint8_t>(headerBytes.begin(), headerBytes.end()));
    // The nodes, and where the map held more, free slots after them: no
    // stale node with a live identity stays behind.
    std::vector<uint8_t> array = build.nodes;
    if (data.HasScripts()) array.resize(std::max<size_t>(array.size(), size_t{syntax::kNodeSize} * data.NodesInUse()), 0);
    PatchBefore(rewrite, head, int64_t{data.syntaxHeader} + syntax::kHeaderSize, std::move(array));

    // The further scenario address moves by the growth, whatever it holds;
    // so do the lengths a "daeh" header gives, which the game loads by.
    const auto move = [&](int64_t field) {
        const auto value = rewrite.Read(old, field, 4);
        rewrite.patches.push_back({field, Int32Bytes(Wrap32(int64_t{ReadInt32LE(value.data())} + growth))});
    };
    move(S + kMovedAddress);
    if (map.HeadLayout) {
        move(map_layout::kFileSize);
        move(map_layout::kTagDataSize);
    }

    // The scan starts at tag 1's data as loaded, but never inside the data
    // just written: when the map grows, at the earliest where the moved part
    // now starts; when it shrinks, tag 1's data has moved back by as much.
    int64_t scanStart = map.TagCache.at(1).Offset;
    if (growth > 0 && scanStart >= E0) scanStart = std::max(scanStart, E0 + growth);
    if (growth < 0 && scanStart >= E0) scanStart += growth;
    PlanRelocation(rewrite, old, map, Wrap32(scanStart), Wrap32(E0), growth);

    // The scenario's own address fields lie before the scan: those that
    // point into the moved part move as the tag index's addresses do.
    for (const int64_t field : AddressFields()) {
        const int32_t value = ReadInt32LE(rewrite.Read(old, S + field, 4).data());
        if (!rewrite.relocation.Moves(value)) continue;
        rewrite.patches.push_back({S + field, Int32Bytes(rewrite.relocation.Relocated(value))});
        ++rewrite.relocatedFields;
    }
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
