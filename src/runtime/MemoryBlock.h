#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "runtime/ByteOrder.h"

namespace tarnfold {

// A growable, zero-filled, little-endian byte buffer: the builders append
// node records and texts to it and patch earlier records in place.
class MemoryBlock {
public:
    MemoryBlock() = default;
    explicit MemoryBlock(size_t size, uint8_t fill = 0) : bytes_(size, fill) {}

    size_t Size() const { return bytes_.size(); }
    // Grows (new bytes are zero) or shrinks, keeping the bytes below the new size.
    void SetSize(size_t size) { bytes_.resize(size, 0); }

    // Grows the block by `count` zero bytes and returns the offset of the first.
    size_t Grow(size_t count) {
        const size_t at = bytes_.size();
        bytes_.resize(at + count, 0);
        return at;
    }

    void Append(std::string_view text) { bytes_.insert(bytes_.end(), text.begin(), text.end()); }
    void Append(const std::vector<uint8_t>& more) { bytes_.insert(bytes_.end(), more.begin(), more.end()); }
    void Append(size_t count, uint8_t fill) { bytes_.insert(bytes_.end(), count, fill); }

    void SetInt16(size_t offset, int32_t value) { WriteInt16LE(&bytes_.at(offset + 1) - 1, value); }
    void SetInt32(size_t offset, int32_t value) { WriteInt32LE(&bytes_.at(offset + 3) - 3, value); }
    void SetUInt32(size_t offset, uint32_t value) { WriteUInt32LE(&bytes_.at(offset + 3) - 3, value); }
    void SetSingle(size_t offset, float value) { WriteSingleLE(&bytes_.at(offset + 3) - 3, value); }
    int16_t Int16(size_t offset) const { return ReadInt16LE(&bytes_.at(offset + 1) - 1); }
    int32_t Int32(size_t offset) const { return ReadInt32LE(&bytes_.at(offset + 3) - 3); }

    const uint8_t* Data() const { return bytes_.data(); }
    uint8_t* Data() { return bytes_.data(); }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    std::vector<uint8_t>& Bytes() { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

}  // namespace tarnfold
