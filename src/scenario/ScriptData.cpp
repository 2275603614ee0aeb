// Finds the scenario's script data and refuses a map where a compile could
// not write it safely.
#include "scenario/ScriptData.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "map/HaloPcMap.h"
#include "map/MapLayout.h"
#include "runtime/BinaryFile.h"
#include "runtime/ByteOrder.h"
#include "runtime/Error.h"
#include "runtime/math.h"
#include "scenario/GlobalRecord.h"
#include "scenario/ScriptRecord.h"
#include "scenario/Syntax.h"
#include "runtime/Utf8Path.h"

namespace tarnfold {

using namespace scenario;

namespace {

std::string Range(int64_t from, int64_t size) {
    return "offset " + DescribeOffset(from) + ", " + std::to_string(size) + " bytes";
}

}  // namespace

StringDataLayout LayOutStringData(int32_t textBytes, int64_t scripts, int64_t globals) {
    StringDataLayout layout;
    layout.texts = textBytes;
    layout.padding = int64_t{kStringReserve} + textBytes;
    layout.scripts = int64_t{kStringReserve} + math::RoundToMultiple(textBytes, 4);
    layout.globals = layout.scripts + script_record::kSize * scripts;
    layout.end = layout.globals + global_record::kSize * globals;
    return layout;
}

ScriptData ScriptData::Read(const HaloPcMap& map, BinaryFile& file) {
    const std::string where = "map '" + Utf8(map.f) + "': ";
    ScriptData data;
    const int64_t S = data.scenario = map.Scenario()->Offset;
    if (!file.Contains(S + kSyntaxDataSize, kFieldsEnd - kSyntaxDataSize))
        throw Error(where + "the scenario's script fields (offset " + DescribeOffset(S + kSyntaxDataSize) +
                    " to " + DescribeOffset(S + kFieldsEnd - 1) + ", from tag 0's data at " + DescribeOffset(S) +
                    ") lie outside the file (" + std::to_string(file.Length()) + " bytes)");

    const auto offset = [&](int64_t field, const char* name) {
        return AddressToOffset(file.ReadInt32(S + field, name), map.Magic);
    };
    data.SyntaxDataSize = file.ReadInt32(S + kSyntaxDataSize, "syntax data size");
    data.syntaxHeader = offset(kSyntaxDataAddress, "syntax data address");
    data.ScriptTableSize = file.ReadInt32(S + kStringDataSize, "string data size");
    data.ScriptTable = offset(kStringDataAddress, "string data address");
    data.scriptCount = file.ReadInt32(S + kScriptCount, "script count");
    data.scripts = offset(kScriptsAddress, "script records address");
    data.globalCount = file.ReadInt32(S + kGlobalCount, "global count");
    data.globals = offset(kGlobalsAddress, "global records address");

    const int64_t lastIndexField = int64_t{data.syntaxHeader} + syntax::kLastIndex;
    if (!file.Contains(lastIndexField, 2))
        throw Error(where + "the syntax data header (node count) at offset " + DescribeOffset(lastIndexField) +
                    " (syntax data address - Magic + 46) lies outside the file (" + std::to_string(file.Length()) +
                    " bytes)");
    data.SyntaxCount = file.ReadInt16(lastIndexField, "syntax data header (node count)");
    return data;
}

// In 64 bits: `info` shows the capacity of maps whose size field is nonsense.
int32_t ScriptData::NodeCapacity() const {
    return static_cast<int32_t>((int64_t{SyntaxDataSize} - syntax::kHeaderSize) / syntax::kNodeSize);
}

int32_t ScriptData::NodesInUse() const { return std::clamp(SyntaxCount + 1, 0, std::max(NodeCapacity(), 0)); }

// The records of an earlier compile follow its texts, reserve and padding,
// and its globals follow the records: that is how a compile lays them out,
// and how it recognises them.
bool ScriptData::CompiledByTarnfold(int64_t fileLength) const {
    if (!HasScripts() || scriptCount < 0 || ScriptTable < 0) return false;
    const StringDataLayout layout =
        LayOutStringData(ScriptTableSize - kStringReserve, scriptCount, std::max(globalCount, 0));
    if (scripts != ScriptTable + layout.scripts) return false;
    if (globalCount > 0 && globals != ScriptTable + layout.globals) return false;
    return ScriptTable + layout.end <= fileLength;
}

int64_t ScriptData::ReplacedEnd(int64_t fileLength) const {
    if (!CompiledByTarnfold(fileLength)) return int64_t{ScriptTable} + ScriptTableSize;
    const StringDataLayout layout =
        LayOutStringData(ScriptTableSize - kStringReserve, scriptCount, std::max(globalCount, 0));
    return ScriptTable + layout.end;
}

void ScriptData::CheckPlacement(const HaloPcMap& map, int64_t length) const {
    const std::string where = "map '" + Utf8(map.f) + "': ";
    const int64_t S = scenario;

    if (ScriptTableSize < kStringReserve)
        throw Error(where + "the scenario's string data size is " + std::to_string(ScriptTableSize) +
                    " (at offset " + DescribeOffset(S + kStringDataSize) + "), less than its " +
                    std::to_string(kStringReserve) + "-byte reserve");
    const int64_t E0 = ReplacedEnd(length);
    const auto inside = [length](int64_t from, int64_t count) {
        return from >= 0 && count >= 0 && from <= length && count <= length - from;
    };
    if (!inside(ScriptTable, E0 - ScriptTable))
        throw Error(where + "the string data (" + Range(ScriptTable, E0 - ScriptTable) +
                    ") lies outside the file (" + std::to_string(length) + " bytes)");

    if (SyntaxDataSize < syntax::kHeaderSize)
        throw Error(where + "the syntax data size " + std::to_string(SyntaxDataSize) + " (at offset " +
                    DescribeOffset(S + kSyntaxDataSize) + ") is too small for its " +
                    std::to_string(syntax::kHeaderSize) + "-byte header");
    if (!inside(syntaxHeader, SyntaxDataSize))
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
