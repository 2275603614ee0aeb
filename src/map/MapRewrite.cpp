#include "map/MapRewrite.h"

#include <algorithm>
#include <cstring>

#include "runtime/AtomicFile.h"
#include "runtime/BinaryFile.h"
#include "runtime/Error.h"

namespace tarnfold {

int64_t MapRewrite::Length() const {
    int64_t length = 0;
    for (const auto& piece : pieces) length += piece.length;
    return length;
}

void MapRewrite::Fill(BinaryFile& old, int64_t offset, uint8_t* out, size_t count) const {
    const int64_t end = offset + static_cast<int64_t>(count);

    int64_t pieceStart = 0;
    for (const auto& piece : pieces) {
        const int64_t pieceEnd = pieceStart + piece.length;
        const int64_t from = std::max(offset, pieceStart);
        const int64_t to = std::min(end, pieceEnd);
        if (from < to) {
            uint8_t* target = out + (from - offset);
            const int64_t within = from - pieceStart;
            const auto n = static_cast<size_t>(to - from);
            if (piece.fromMemory)
                std::memcpy(target, piece.bytes.data() + within, n);
            else
                old.Read(piece.oldOffset + within, target, n);
        }
        pieceStart = pieceEnd;
        if (pieceStart >= end) break;
    }

    for (const auto& patch : patches) {
        const int64_t patchEnd = patch.offset + static_cast<int64_t>(patch.bytes.size());
        const int64_t from = std::max(offset, patch.offset);
        const int64_t to = std::min(end, patchEnd);
        if (from < to)
            std::memcpy(out + (from - offset), patch.bytes.data() + (from - patch.offset),
                        static_cast<size_t>(to - from));
    }
}

std::vector<uint8_t> MapRewrite::Read(BinaryFile& old, int64_t offset, size_t count) const {
    if (offset < 0 || offset + static_cast<int64_t>(count) > Length())
        throw Error("internal error: read of " + std::to_string(count) + " bytes at offset " +
                    DescribeOffset(offset) + " lies outside the new map");
    std::vector<uint8_t> bytes(count);
    Fill(old, offset, bytes.data(), count);
    return bytes;
}

std::vector<uint8_t> MapRewrite::ReadFinal(BinaryFile& old, int64_t offset, size_t count) const {
    const int64_t end = offset + static_cast<int64_t>(count);
    if (!scanStart || end <= *scanStart) return Read(old, offset, count);
    // Widen the range to whole words counted from scanStart, as the scan sees them.
    const int64_t s = *scanStart;
    const int64_t from = offset > s ? s + (offset - s) / 4 * 4 : offset;
    const int64_t to = std::min(Length(), s + (end - s + 3) / 4 * 4);
    auto bytes = Read(old, from, static_cast<size_t>(to - from));
    const int64_t words = std::max(from, s);
    relocation.ApplyToWords(bytes.data() + (words - from), static_cast<size_t>(to - words));
    return std::vector<uint8_t>(bytes.begin() + (offset - from), bytes.begin() + (end - from));
}

// The head of a real map (its raw data, the tag index, the scenario up to
// its string data) is most of the file and is the old file's bytes but for a
// few patches: it is copied inside the kernel, or cloned, in steps that count
// as chunks, and the patches written over it. Returns how far the new file is
// then written; the streaming pass writes the rest.
int64_t MapRewrite::CopyHead(BinaryFile& old, AtomicFile& out, const std::function<void(int)>& afterChunk,
                             int& chunks) const {
    if (pieces.empty() || pieces.front().fromMemory || pieces.front().oldOffset != 0) return 0;
    int64_t head = pieces.front().length;
    if (scanStart) head = std::min(head, std::max<int64_t>(*scanStart, 0));
    int64_t copied = 0;
    while (copied < head) {
        const int64_t step = std::min(head - copied, kHeadStep);
        const int64_t n = out.CopyFrom(old.Path(), copied, step);
        copied += n;
        if (n > 0 && afterChunk) afterChunk(++chunks);
        if (n < step) break;  // the kernel cannot copy these files: the rest is streamed
    }
    for (const auto& patch : patches) {
        const int64_t end = std::min(copied, patch.offset + static_cast<int64_t>(patch.bytes.size()));
        if (patch.offset < end)
            out.WriteAt(patch.offset, patch.bytes.data(), static_cast<size_t>(end - patch.offset));
    }
    return copied;
}

int64_t MapRewrite::WriteTo(BinaryFile& old, AtomicFile* out, const std::function<void(int)>& afterChunk,
                            bool copyHead) const {
    const int64_t length = Length();
    std::vector<uint8_t> buffer(std::min<int64_t>(kChunkSize, std::max<int64_t>(length, 1)));
    int chunks = 0;
    int64_t relocated = relocatedFields;
    int64_t at = 0;
    if (out && copyHead) at = CopyHead(old, *out, afterChunk, chunks);
    while (at < length) {
        int64_t end = std::min(at + static_cast<int64_t>(buffer.size()), length);
        // Chunks of the scanned part start at scanStart and hold whole words
        // counted from it, so no word straddles two chunks.
        if (scanStart && at < *scanStart && *scanStart < end) end = *scanStart;
        const auto count = static_cast<size_t>(end - at);
        Fill(old, at, buffer.data(), count);
        if (scanStart && at >= *scanStart) relocated += relocation.ApplyToWords(buffer.data(), count);
        if (out) out->Write(buffer.data(), count);
        ++chunks;
        if (afterChunk) afterChunk(chunks);
        at = end;
    }
    return relocated;
}

}  // namespace tarnfold
