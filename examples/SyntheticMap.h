#pragma once

// Synthetic maps for the demo, the benchmarks and the tests. Not playable
// maps: just the header, tag index and scenario script data that Tarnfold
// reads, laid out as real maps lay them out, and a tail of words in and out
// of the range that moves. Optionally, raw data between the header and the
// tag index, as real maps hold their structure and model data: most of the
// file then lies before what a compile changes.

#include <cstdint>
#include <filesystem>
#include <vector>

namespace tarnfold {

using Bytes = std::vector<uint8_t>;

struct SyntheticMapOptions {
    bool headLayout = true;        // "daeh" header (index offset at 16) or the other (at 1516)
    uint32_t magic = 0x40440000;   // address - magic = file offset; may have its high bit set
    int32_t tagCount = 4;
    int32_t nodeCapacity = 64;     // nodes the syntax data holds
    int32_t stringDataSize = 1024; // the string data size field
    int32_t tailWords = 1024;      // words of tag data after the string data
    int32_t rawDataSize = 0;       // bytes of raw data after the header (a multiple of 4)
    int32_t tailRemainder = 0;     // 0..3 stray bytes at the very end of the file
    int32_t tag1Skew = 0;          // tag 1's data lies this many bytes after the string data
    uint32_t seed = 1;             // varies the tail's content
};

// Where things are, as file offsets.
struct SyntheticMap {
    Bytes bytes;
    int32_t magic = 0;
    int32_t indexOffset = 0;
    int32_t tagOffset = 0;
    int32_t scenario = 0;      // S: tag 0's data
    int32_t syntaxHeader = 0;  // the syntax data header; ScriptNode = syntaxHeader + 36
    int32_t stringData = 0;    // the string data
    int32_t tail = 0;          // the end of the string data: where the moved part starts
    int32_t tag1 = 0;          // tag 1's data: where the relocation scan starts

    int32_t Address(int64_t offset) const { return static_cast<int32_t>(static_cast<uint32_t>(offset + magic)); }
    int64_t Length() const { return static_cast<int64_t>(bytes.size()); }
    // Where tag entry i lies.
    int64_t Entry(int32_t i) const;

    // Little-endian words at a file offset, to plant or inspect a value anywhere.
    uint32_t Word(int64_t offset) const;
    void SetWord(int64_t offset, uint32_t value);

    void Save(const std::filesystem::path& path) const;
};

SyntheticMap BuildSyntheticMap(const SyntheticMapOptions& options = {});

}  // namespace tarnfold
