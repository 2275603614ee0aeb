#include "map/Relocation.h"

#include "map/HaloPcMap.h"
#include "map/MapRewrite.h"
#include "runtime/ByteOrder.h"

namespace tarnfold {

bool Relocation::Moves(int32_t value) const {
    const int32_t low = Wrap32(int64_t{point} + magic);
    return low <= value && int64_t{value} < fileLength + int64_t{magic};
}

int32_t Relocation::Relocated(int32_t value) const { return Wrap32(int64_t{value} + shift); }

int64_t Relocation::ApplyToWords(uint8_t* bytes, size_t count) const {
    const int32_t low = Wrap32(int64_t{point} + magic);
    const int64_t high = fileLength + int64_t{magic};
    int64_t rewritten = 0;
    for (size_t at = 0; at + 4 <= count; at += 4) {
        const int32_t value = ReadInt32LE(bytes + at);
        if (low <= value && int64_t{value} < high) {
            WriteInt32LE(bytes + at, Wrap32(int64_t{value} + shift));
            ++rewritten;
        }
    }
    return rewritten;
}

void PlanRelocation(MapRewrite& rewrite, BinaryFile& old, const HaloPcMap& map, int32_t scanStart,
                    int32_t point, int32_t shift) {
    Relocation relocation{point, map.Magic, shift, rewrite.Length()};

    // The tag index walk: entry i's data address lies at byte 20 of its entry.
    constexpr int64_t kEntrySize = 32;
    constexpr int64_t kDataAddress = 20;
    if (map.TagCount > 0) {
        auto entries = rewrite.Read(old, map.tagOffset, static_cast<size_t>(kEntrySize * map.TagCount));
        for (int32_t i = 0; i < map.TagCount; ++i) {
            uint8_t* word = entries.data() + kEntrySize * i + kDataAddress;
            const int32_t value = ReadInt32LE(word);
            if (relocation.Moves(value)) {
                WriteInt32LE(word, relocation.Relocated(value));
                ++rewrite.relocatedInIndex;
            }
        }
        rewrite.patches.push_back({map.tagOffset, std::move(entries)});
    }

    rewrite.scanStart = scanStart;
    rewrite.relocation = relocation;
}

}  // namespace tarnfold
