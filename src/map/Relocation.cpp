#include "map/Relocation.h"

#include <algorithm>
#include <cstring>

#include "map/HaloPcMap.h"
#include "map/MapLayout.h"
#include "map/MapRewrite.h"
#include "runtime/BinaryFile.h"
#include "runtime/ByteOrder.h"

namespace tarnfold {

bool Relocation::Moves(int32_t value) const {
    const int32_t low = Wrap32(int64_t{point} + magic);
    return low <= value && int64_t{value} < fileLength + int64_t{magic};
}

int32_t Relocation::Relocated(int32_t value) const { return Wrap32(int64_t{value} + shift); }

int64_t Relocation::ApplyToWords(uint8_t* bytes, size_t count) const {
    // The same test as Moves(), as one unsigned range check per word: this
    // loop runs over the whole tail of the map.
    const int64_t low = Wrap32(int64_t{point} + magic);
    const int64_t high = std::min(fileLength + int64_t{magic}, int64_t{1} << 31);
    if (high <= low) return 0;
    const uint64_t span = static_cast<uint64_t>(high - low);  // 1 to 2^32 values move
    const auto base = static_cast<uint32_t>(low);
    const auto span32 = static_cast<uint32_t>(span - 1);
    const auto delta = static_cast<uint32_t>(shift);

    // Branch-free over native words so that the compiler can vectorise it;
    // the words are little-endian in the file whatever the host is.
    uint32_t rewritten = 0;  // a buffer holds far fewer than 2^32 words
    const size_t words = count / 4;
    for (size_t i = 0; i < words; ++i) {
        uint32_t word;
        std::memcpy(&word, bytes + 4 * i, 4);
        const uint32_t value = FromLittleEndian(word);
        const uint32_t moves = value - base <= span32;
        word = FromLittleEndian(value + (delta & (0u - moves)));
        std::memcpy(bytes + 4 * i, &word, 4);
        rewritten += moves;
    }
    return rewritten;
}

void PlanRelocation(MapRewrite& rewrite, BinaryFile& old, const HaloPcMap& map, int32_t scanStart,
                    int32_t point, int32_t shift) {
    // A map that shrinks moves addresses up to its old end.
    Relocation relocation{point, map.Magic, shift, std::max(rewrite.Length(), old.Length())};

    // The tag index walk.
    using map_layout::kEntrySize;
    if (map.TagCount > 0) {
        auto entries = rewrite.Read(old, map.tagOffset, static_cast<size_t>(kEntrySize * map.TagCount));
        for (int32_t i = 0; i < map.TagCount; ++i) {
            uint8_t* word = entries.data() + kEntrySize * i + map_layout::kEntryDataAddress;
            const int32_t value = ReadInt32LE(word);
            if (relocation.Moves(value)) {
                WriteInt32LE(word, relocation.Relocated(value));
                ++rewrite.relocatedFields;
            }
        }
        rewrite.patches.push_back({map.tagOffset, std::move(entries)});
    }

    // A negative scanStart lies past the end of the file, as a negative
    // position does for every read of a map: there is nothing to scan.
    // Scanning from 0 instead would move the tag index's addresses twice.
    if (scanStart >= 0) rewrite.scanStart = scanStart;
    rewrite.relocation = relocation;
}

}  // namespace tarnfold
