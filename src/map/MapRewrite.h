#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "map/Relocation.h"

namespace tarnfold {

class AtomicFile;
class BinaryFile;

// A new map file described as a sequence of pieces (ranges of the old file or
// bytes in memory), patches laid over them in order, and an optional
// relocation scan from `scanStart` to the end. Describing the result first and
// writing it in one streaming pass keeps memory small whatever the map's size,
// and lets every check run before a single byte is written.
struct MapRewrite {
    struct Piece {
        int64_t oldOffset = 0;  // where the piece starts in the old file (when not in memory)
        int64_t length = 0;
        std::vector<uint8_t> bytes;  // the piece's bytes when it comes from memory
        bool fromMemory = false;

        static Piece FromOldFile(int64_t offset, int64_t length) { return {offset, length, {}, false}; }
        static Piece FromMemory(std::vector<uint8_t> bytes) {
            const auto length = static_cast<int64_t>(bytes.size());
            return {0, length, std::move(bytes), true};
        }
    };

    struct Patch {
        int64_t offset = 0;  // in the new file
        std::vector<uint8_t> bytes;
    };

    // Bytes written per chunk of the streaming pass.
    static constexpr size_t kChunkSize = size_t{4} << 20;
    // Bytes of the unchanged head copied inside the kernel per chunk: few
    // system calls, and a kill can still land inside the copy.
    static constexpr int64_t kHeadStep = int64_t{16} << 20;

    std::vector<Piece> pieces;
    std::vector<Patch> patches;  // applied in order: a later patch wins
    std::optional<int64_t> scanStart;
    Relocation relocation;
    int64_t relocatedFields = 0;  // addresses moved outside the scan: tag index entries, scenario fields

    int64_t Length() const;

    // Bytes [offset, offset + count) of the new file as described so far
    // (pieces and patches; the scan is not applied). The range must lie
    // inside the new file.
    std::vector<uint8_t> Read(BinaryFile& old, int64_t offset, size_t count) const;

    // The same bytes with the relocation scan applied: as the new file will
    // hold them.
    std::vector<uint8_t> ReadFinal(BinaryFile& old, int64_t offset, size_t count) const;

    // Streams the whole new file into `out` (nowhere when null: a dry run
    // that counts), the scan applied as it passes, calling `afterChunk` (when
    // set) with the count of chunks written so far. The unchanged head of
    // the old file is copied inside the kernel when `copyHead` allows it,
    // its steps counted as chunks.
    // Returns how many words were relocated, tag index entries included.
    int64_t WriteTo(BinaryFile& old, AtomicFile* out, const std::function<void(int)>& afterChunk = {},
                    bool copyHead = true) const;

private:
    int64_t CopyHead(BinaryFile& old, AtomicFile& out, const std::function<void(int)>& afterChunk, int& chunks) const;
    void Fill(BinaryFile& old, int64_t offset, uint8_t* out, size_t count) const;
};

}  // namespace tarnfold
