#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// One script's 92-byte record; the records of a scenario follow each other.
namespace tarnfold::script_record {

constexpr int32_t kSize = 92;
constexpr int64_t kName = 0;         // 32 bytes: the name, zero-padded
constexpr int32_t kNameMax = 31;     // the field holds 31 bytes and a zero
constexpr int64_t kType = 32;        // int16: the script type
constexpr int64_t kReturnType = 34;  // int16
constexpr int64_t kRoot = 36;        // link to the "begin" call node; bytes 40-91 are zero

// The script types that a script call may name.
constexpr int32_t kStaticScript = 3, kStubScript = 4;

}  // namespace tarnfold::script_record

namespace tarnfold {

// One script as its record holds it.
struct ScriptHeader {
    std::string Name;        // at most script_record::kNameMax bytes
    int32_t Type = 0;        // stored as int16
    int32_t ReturnType = 0;  // stored as int16
    uint32_t Root = 0;       // link to the root node

    std::array<uint8_t, script_record::kSize> Encode() const;
    // The name is read up to its first zero byte.
    static ScriptHeader Decode(const uint8_t* record);
};

// The bytes of a fixed-width name field up to its first zero byte.
std::string DecodeName(const uint8_t* field, size_t width);
// Writes at most `width` - 1 bytes of `name` into a zeroed field of `width`
// bytes, so that a zero byte always ends it.
void EncodeName(std::string_view name, uint8_t* field, size_t width);

}  // namespace tarnfold
