#pragma once

#include <array>
#include <cstdint>
#include <string>

// One scenario global's 92-byte record; the records of the globals block
// follow each other.
namespace tarnfold::global_record {

constexpr int32_t kSize = 92;
constexpr int64_t kName = 0;      // 32 bytes: the name, zero-padded
constexpr int32_t kNameMax = 31;  // the field holds 31 bytes and a zero
constexpr int64_t kType = 32;     // int16: the global's value type
constexpr int64_t kInitial = 40;  // link to the node of its initial value; the rest is zero

}  // namespace tarnfold::global_record

namespace tarnfold {

// One scenario global as its record holds it.
struct GlobalRecord {
    std::string Name;     // at most global_record::kNameMax bytes
    int32_t Type = 0;     // stored as int16
    uint32_t Initial = 0;  // link to the root node of its initial value

    std::array<uint8_t, global_record::kSize> Encode() const;
    static GlobalRecord Decode(const uint8_t* record);
};

}  // namespace tarnfold
