#pragma once

#include <cstdint>

// One 92-byte script record; the records follow each other.
namespace tarnfold::script_record {

constexpr int32_t kSize = 92;
constexpr int64_t kName = 0;         // 32 bytes: the name, zero-padded
constexpr int32_t kNameMax = 31;     // the field holds 31 bytes and a zero
constexpr int64_t kType = 32;        // int16: the script type
constexpr int64_t kReturnType = 34;  // int16
constexpr int64_t kRoot = 36;        // link to the "begin" call node; bytes 40-91 are zero

}  // namespace tarnfold::script_record
