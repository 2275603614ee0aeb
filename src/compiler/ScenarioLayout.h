#pragma once

#include <cstdint>

// Where a scenario keeps its script data, as offsets from the scenario tag's
// data (S), and the fixed sizes of what a compile writes.
namespace tarnfold::scenario {

constexpr int64_t kSyntaxDataSize = 1140;      // int32 size of the syntax data
constexpr int64_t kSyntaxDataAddress = 1152;   // int32 address of the syntax data header
constexpr int64_t kStringDataSize = 1160;      // int32 size of the string data, reserve included
constexpr int64_t kStringDataAddress = 1172;   // int32 address of the string data
constexpr int64_t kScriptCount = 1180;         // int32 number of script records
constexpr int64_t kScriptsAddress = 1184;      // int32 address of the first script record
constexpr int64_t kMovedAddress = 1448;        // int32 address moved by the growth
constexpr int64_t kFieldsEnd = 1452;           // one past the last field used

constexpr int32_t kStringReserve = 1024;       // zero bytes after the texts
constexpr int32_t kSyntaxHeaderSize = 56;      // the node array starts here
constexpr int32_t kScriptNodeBias = 36;        // ScriptNode = header offset + 36
constexpr int32_t kNodeSize = 20;
constexpr int32_t kScriptRecordSize = 92;
constexpr int32_t kScriptNameMax = 31;         // the record holds 31 bytes and a zero

}  // namespace tarnfold::scenario
