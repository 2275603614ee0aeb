#pragma once

#include <cstdint>

// Where a scenario keeps its script data, as offsets from the scenario tag's
// data (S), and the string data's fixed parts. Glossary of the compiler's
// terse names for these places:
//   ScriptTable      file offset of the string data
//   ScriptTableSize  the string data size field (texts + reserve)
//   ScriptNode       file offset of the syntax data header + 36
//   SyntaxDataSize   the syntax data size field (header + node array)
namespace tarnfold::scenario {

constexpr int64_t kSyntaxDataSize = 1140;      // int32 size of the syntax data
constexpr int64_t kSyntaxDataAddress = 1152;   // int32 address of the syntax data header
constexpr int64_t kStringDataSize = 1160;      // int32 size of the string data, reserve included
constexpr int64_t kStringDataAddress = 1172;   // int32 address of the string data
constexpr int64_t kScriptCount = 1180;         // int32 number of script records
constexpr int64_t kScriptsAddress = 1184;      // int32 address of the first script record
constexpr int64_t kMovedAddress = 1448;        // int32 address moved by the growth
constexpr int64_t kFieldsEnd = 1452;           // one past the last field used

// The texts are followed by this many zero bytes, counted in the size field,
// then by 0xFF up to a multiple of 4, then by the script records.
constexpr int32_t kStringReserve = 1024;

// What the engine accepts (Halo PC): more scripts or a larger string data
// does not load.
constexpr int32_t kMaxScripts = 512;
constexpr int32_t kMaxStringData = 262144;     // texts + reserve

}  // namespace tarnfold::scenario
