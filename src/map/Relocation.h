#pragma once

#include <cstddef>
#include <cstdint>

namespace tarnfold {

class BinaryFile;
class HaloPcMap;
struct MapRewrite;

// The address test and rewrite applied after an insertion: a 32-bit value is
// taken for an address into the moved part of the file when
//   point + magic <= v            (signed 32-bit, the sum wrapping), and
//   v < fileLength + magic        (signed 64-bit),
// and is then replaced by v + shift (wrapping). The test knows nothing of
// which words really are addresses; a count or a float in range moves too.
struct Relocation {
    int32_t point = 0;
    int32_t magic = 0;
    int32_t shift = 0;
    int64_t fileLength = 0;  // the longer of the map's lengths before and after

    bool Moves(int32_t value) const;
    int32_t Relocated(int32_t value) const;

    // Applies the test and rewrite to every whole little-endian word of
    // `bytes`, counted from its first byte. A remainder of fewer than four
    // bytes is no word and is left alone.
    // Returns how many words it rewrote.
    int64_t ApplyToWords(uint8_t* bytes, size_t count) const;
};

// Plans the relocation of `map`'s addresses into `rewrite`: the data address
// of every tag index entry (read from the new file as `rewrite` describes it)
// and the scan of whole words from `scanStart` to the end of the new file.
void PlanRelocation(MapRewrite& rewrite, BinaryFile& old, const HaloPcMap& map, int32_t scanStart,
                    int32_t point, int32_t shift);

}  // namespace tarnfold
