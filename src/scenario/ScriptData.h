#pragma once

#include <cstdint>

// The scenario's script data: where the scenario tag keeps it, how a compile
// lays it out, and which layouts a compile can replace.
namespace tarnfold::scenario {

// Offsets from the scenario tag's data (S).
constexpr int64_t kSyntaxDataSize = 1140;     // int32 size of the syntax data
constexpr int64_t kSyntaxDataAddress = 1152;  // int32 address of the syntax data header
constexpr int64_t kStringDataSize = 1160;     // int32 size of the string data, reserve included
constexpr int64_t kStringDataAddress = 1172;  // int32 address of the string data
constexpr int64_t kScriptCount = 1180;        // int32 number of script records
constexpr int64_t kScriptsAddress = 1184;     // int32 address of the first script record
constexpr int64_t kGlobalCount = 1192;        // int32 number of global records
constexpr int64_t kGlobalsAddress = 1196;     // int32 address of the first global record
constexpr int64_t kMovedAddress = 1448;       // int32 address moved by the growth
constexpr int64_t kFieldsEnd = 1452;          // one past the last field used

// The texts are followed by this many zero bytes, counted in the size field,
// then by 0xFF up to a multiple of 4, then by the script records.
constexpr int32_t kStringReserve = 1024;

// What the engine accepts (Halo PC): more scripts or a larger string data
// does not load.
constexpr int32_t kMaxScripts = 512;
constexpr int32_t kMaxGlobals = 128;
constexpr int32_t kMaxStringData = 262144;  // texts + reserve

}  // namespace tarnfold::scenario

namespace tarnfold {

class BinaryFile;
class HaloPcMap;

// The string data and the records after it as a compile lays them out:
// the texts, the reserve, 0xFF up to a multiple of 4, the script records,
// then the global records. Offsets from the start of the string data.
struct StringDataLayout {
    int32_t texts = 0;    // L, the bytes of the texts
    int64_t padding = 0;  // the 0xFF bytes start here
    int64_t scripts = 0;  // the script records start here
    int64_t globals = 0;  // the global records start here
    int64_t end = 0;      // and end here

    int32_t SizeField() const { return scenario::kStringReserve + texts; }
};
StringDataLayout LayOutStringData(int32_t textBytes, int64_t scripts, int64_t globals);

// The scenario's script data fields as a map holds them, file offsets
// worked out from the addresses.
struct ScriptData {
    int64_t scenario = 0;        // S, tag 0's data
    int32_t SyntaxDataSize = 0;   // the syntax data size field: header + node array
    int32_t syntaxHeader = 0;     // file offset of the syntax data header
    int32_t SyntaxCount = 0;      // the header's int16 "nodes in use - 1", sign-extended
    int32_t ScriptTableSize = 0;  // the string data size field: texts + reserve
    int32_t ScriptTable = 0;      // file offset of the string data
    int32_t scriptCount = 0;
    int32_t scripts = 0;          // file offset of the first script record
    int32_t globalCount = 0;
    int32_t globals = 0;          // file offset of the first global record

    // Reads the fields of `map`'s scenario from `file`; refuses, naming the
    // field, a map whose fields or syntax data header lie outside the file.
    static ScriptData Read(const HaloPcMap& map, BinaryFile& file);

    int32_t NodeCapacity() const;  // nodes the syntax data holds
    int32_t NodesInUse() const;    // as read, within the capacity
    bool HasScripts() const { return ScriptTableSize > scenario::kStringReserve; }

    // True when the scripts are laid out as a Tarnfold compile lays them
    // out (records after the texts, reserve and padding, globals after the
    // records), inside a file of `fileLength` bytes.
    bool CompiledByTarnfold(int64_t fileLength) const;
    // Where the script data that a compile replaces ends: after the records
    // of an earlier compile, else at the end of the string data.
    int64_t ReplacedEnd(int64_t fileLength) const;

    // Refuses, with a message naming the field and value, a map into which a
    // compile cannot write safely: one whose string data, syntax data or tag
    // index lie where the insertion would overwrite or move them.
    void CheckPlacement(const HaloPcMap& map, int64_t fileLength) const;
};

}  // namespace tarnfold
