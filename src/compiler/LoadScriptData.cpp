// The script data reader: finds the scenario's syntax data and string data
// and refuses a map where a compile could not write them safely.
#include <algorithm>
#include <iterator>

#include "compiler/ScenarioLayout.h"
#include "compiler/ScriptCompilier.h"
#include "compiler/ScriptRecordLayout.h"
#include "compiler/SyntaxLayout.h"
#include "compiler/math.h"
#include "map/HaloPcMap.h"
#include "map/MapLayout.h"
#include "runtime/BinaryFile.h"
#include "runtime/ByteOrder.h"
#include "runtime/Error.h"
#include "runtime/Utf8Path.h"

namespace tarnfold {

namespace {

using namespace scenario;

std::string Range(int64_t from, int64_t size) {
    return "offset " + DescribeOffset(from) + ", " + std::to_string(size) + " bytes";
}

}  // namespace

void ScriptCompilier::LoadScriptData(const HaloPcMap& map) {
    if (map.f.empty() || !map.Scenario()) throw Error("no map is loaded: load a map first");
    BinaryFile file(map.f);
    LoadScriptData(map, file);
}

void ScriptCompilier::LoadScriptData(const HaloPcMap& map, BinaryFile& file) {
    if (!map.Scenario()) throw Error("no map is loaded: load a map first");
    const int64_t length = file.Length();
    const std::string where = "map '" + Utf8(map.f) + "': ";
    const int64_t S = map.Scenario()->Offset;

    if (!file.Contains(S + kSyntaxDataSize, kFieldsEnd - kSyntaxDataSize))
        throw Error(where + "the scenario's script fields (offset " + DescribeOffset(S + kSyntaxDataSize) +
                    " to " + DescribeOffset(S + kFieldsEnd - 1) + ", from tag 0's data at " +
                    DescribeOffset(S) + ") lie outside the file (" + std::to_string(length) + " bytes)");

    SyntaxDataSize = file.ReadInt32(S + kSyntaxDataSize, "syntax data size");
    ScriptTable = AddressToOffset(file.ReadInt32(S + kStringDataAddress, "string data address"), map.Magic);
    ScriptTableSize = file.ReadInt32(S + kStringDataSize, "string data size");
    LengthIntoStrings = Wrap32(int64_t{ScriptTableSize} - kStringReserve);  // any size may be read
    const int32_t syntaxHeader =
        AddressToOffset(file.ReadInt32(S + kSyntaxDataAddress, "syntax data address"), map.Magic);
    ScriptNode = Wrap32(int64_t{syntaxHeader} + syntax::kScriptNodeBias);
    RecordCount = file.ReadInt32(S + kScriptCount, "script count");
    RecordTable = AddressToOffset(file.ReadInt32(S + kScriptsAddress, "script records address"), map.Magic);

    const int64_t nodeCountField = int64_t{syntaxHeader} + syntax::kLastIndex;
    if (!file.Contains(nodeCountField, 2))
        throw Error(where + "the syntax data header (node count) at offset " + DescribeOffset(nodeCountField) +
                    " (syntax data address - Magic + 46) lies outside the file (" + std::to_string(length) +
                    " bytes)");
    SyntaxCount = file.ReadInt16(nodeCountField, "syntax data header (node count)");
}

// The records of an earlier compile follow the texts, the reserve and the
// padding: that is how a compile lays them out, and how it recognises them.
static int64_t RecordsAfter(int32_t scriptTable, int32_t stringDataSize) {
    return int64_t{scriptTable} + kStringReserve + math::RoundToMultiple(stringDataSize - kStringReserve, 4);
}

bool ScriptCompilier::CompiledByTarnfold(int64_t fileLength) const {
    if (ScriptTableSize <= kStringReserve || RecordCount < 0) return false;
    const int64_t records = RecordsAfter(ScriptTable, ScriptTableSize);
    return RecordTable == records && ScriptTable >= 0 &&
           records + int64_t{script_record::kSize} * RecordCount <= fileLength;
}

int64_t ScriptCompilier::ReplacedEnd() const {
    if (ScriptTableSize <= kStringReserve) return int64_t{ScriptTable} + ScriptTableSize;
    return RecordsAfter(ScriptTable, ScriptTableSize) + int64_t{script_record::kSize} * RecordCount;
}

int32_t ScriptCompilier::NodesInUse() const {
    return std::clamp(SyntaxCount + 1, 0, std::max(NodeCapacity(), 0));
}

void ScriptCompilier::CheckScriptData(const HaloPcMap& map) const {
    BinaryFile file(map.f);
    const int64_t length = file.Length();
    const std::string where = "map '" + Utf8(map.f) + "': ";
    const int64_t S = map.Scenario()->Offset;
    const int32_t syntaxHeader = Wrap32(int64_t{ScriptNode} - syntax::kScriptNodeBias);

    if (ScriptTableSize > kStringReserve && !CompiledByTarnfold(length))
        throw Error(where + "the scenario holds compiled scripts that were not written by Tarnfold (string "
                    "data size " + std::to_string(ScriptTableSize) + " at offset " +
                    DescribeOffset(S + kStringDataSize) + ", " + std::to_string(RecordCount) +
                    " script records at offset " + DescribeOffset(RecordTable) +
                    "); Tarnfold compiles only into a scenario without compiled scripts or with "
                    "scripts it compiled itself");
    if (ScriptTableSize < kStringReserve)
        throw Error(where + "the scenario's string data size is " + std::to_string(ScriptTableSize) +
                    " (at offset " + DescribeOffset(S + kStringDataSize) + "), less than its " +
                    std::to_string(kStringReserve) + "-byte reserve");
    const int64_t E0 = ReplacedEnd();
    if (!file.Contains(ScriptTable, E0 - ScriptTable))
        throw Error(where + "the string data (" + Range(ScriptTable, E0 - ScriptTable) +
                    ") lies outside the file (" + std::to_string(length) + " bytes)");

    if (SyntaxDataSize < syntax::kHeaderSize)
        throw Error(where + "the syntax data size " + std::to_string(SyntaxDataSize) + " (at offset " +
                    DescribeOffset(S + kSyntaxDataSize) + ") is too small for its " +
                    std::to_string(syntax::kHeaderSize) + "-byte header");
    if (!file.Contains(syntaxHeader, SyntaxDataSize))
        throw Error(where + "the syntax data (" + Range(syntaxHeader, SyntaxDataSize) +
                    ") lies outside the file (" + std::to_string(length) + " bytes)");
    // The string data and everything after it are rewritten or moved, so the
    // syntax data, which is patched in place, must lie wholly before them.
    if (int64_t{syntaxHeader} + SyntaxDataSize > ScriptTable)
        throw Error(where + "the syntax data (" + Range(syntaxHeader, SyntaxDataSize) +
                    ") overlaps the string data at " + DescribeOffset(ScriptTable) +
                    " or the part of the map that moves");
    const int64_t indexEnd = int64_t{map.tagOffset} + map_layout::kEntrySize * map.TagCount;
    const int64_t scanStart = map.TagCache.at(1).Offset;
    if (indexEnd > E0)
        throw Error(where + "the tag index (ending at " + DescribeOffset(indexEnd) +
                    ") does not lie before the end of the script data at " + DescribeOffset(E0));
    if (indexEnd > scanStart)
        throw Error(where + "the tag index (ending at " + DescribeOffset(indexEnd) +
                    ") does not lie before tag 1's data at " + DescribeOffset(scanStart));
    if (scanStart < E0)
        throw Error(where + "tag 1's data at " + DescribeOffset(scanStart) +
                    " lies before the end of the script data at " + DescribeOffset(E0) +
                    "; the addresses after the scripts could not be moved safely");

    // The header's index offset moves with the file if it lies in the part
    // that moves, and the index would no longer be found.
    const int64_t indexOffsetField = map_layout::IndexOffsetField(map.HeadLayout);
    if (indexOffsetField + map_layout::kIndexOffsetSize > ScriptTable)
        throw Error(where + "the header's index offset (offset " + DescribeOffset(indexOffsetField) +
                    ") does not lie before the string data at " + DescribeOffset(ScriptTable));

    // A compile writes into the scenario's fields, the syntax data and the tag
    // index, and replaces the string data. Were two of these parts to
    // overlap, one write would land on another part: no real map lays them
    // out so, and a compile refuses such a map.
    const struct {
        const char* name;
        int64_t from;
        int64_t to;
    } parts[] = {
        {"the tag index", map.indexOffset, indexEnd},
        {"the scenario's script fields", S + kSyntaxDataSize, S + kFieldsEnd},
        {"the syntax data", syntaxHeader, int64_t{syntaxHeader} + SyntaxDataSize},
    };
    const auto span = [](const auto& part) {
        return std::string(part.name) + " (offset " + DescribeOffset(part.from) + " to " +
               DescribeOffset(part.to - 1) + ")";
    };
    for (size_t i = 0; i < std::size(parts); ++i) {
        if (parts[i].to > ScriptTable)
            throw Error(where + span(parts[i]) + " does not lie before the string data at " +
                        DescribeOffset(ScriptTable));
        for (size_t j = 0; j < i; ++j)
            if (parts[j].from < parts[i].to && parts[i].from < parts[j].to)
                throw Error(where + span(parts[j]) + " and " + span(parts[i]) + " overlap");
    }
}

}  // namespace tarnfold
