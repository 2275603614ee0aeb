#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "runtime/ByteOrder.h"

namespace tarnfold {

// A growable, zero-filled byte buffer: the builders append node records and
// texts to it and complete links in earlier records in place.
class MemoryBlock {
public:
    // Grows the block by `count` zero bytes and returns the offset of the first.
    size_t Grow(size_t count) {
        const size_t at = bytes_.size();
        bytes_.resize(at + count, 0);
        return at;
    }

    void Append(std::string_view text) { bytes_.insert(bytes_.end(), text.begin(), text.end()); }
    void Append(size_t count, uint8_t fill) { bytes_.insert(bytes_.end(), count, fill); }

    // A little-endian word over the bytes at `offset`.
    void SetUInt32(size_t offset, uint32_t value) { WriteUInt32LE(&bytes_.at(offset + 3) - 3, value); }

    uint8_t* Data() { return bytes_.data(); }
    std::vector<uint8_t>& Bytes() { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

}  // namespace tarnfold
