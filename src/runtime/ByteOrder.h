#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

// Little-endian reads and writes on raw bytes. The files we read are little-endian
// whatever the host is, so values are always assembled byte by byte.
namespace tarnfold {

inline uint16_t ReadUInt16LE(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline uint32_t ReadUInt32LE(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

inline int16_t ReadInt16LE(const uint8_t* p) { return static_cast<int16_t>(ReadUInt16LE(p)); }
inline int32_t ReadInt32LE(const uint8_t* p) { return static_cast<int32_t>(ReadUInt32LE(p)); }

// A 16-bit field takes the low 16 bits of whatever is written into it.
inline void WriteInt16LE(uint8_t* p, int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

inline void WriteInt32LE(uint8_t* p, int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

inline void WriteUInt32LE(uint8_t* p, uint32_t value) {
    WriteInt32LE(p, static_cast<int32_t>(value));
}

// A little-endian word loaded in host order, turned into its value (and back:
// the swap is its own inverse). Nothing to do on a little-endian host.
inline uint32_t FromLittleEndian(uint32_t word) {
    if constexpr (std::endian::native == std::endian::little) return word;
    return (word >> 24) | ((word >> 8) & 0xFF00u) | ((word << 8) & 0xFF0000u) | (word << 24);
}

// 32-bit signed arithmetic that wraps around, as the file formats' own
// address arithmetic does (addresses and Magic freely overflow int32).
inline int32_t Wrap32(int64_t value) {
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(value)));
}

}  // namespace tarnfold
