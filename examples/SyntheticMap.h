#pragma once

// Synthetic maps for the demo, the benchmarks and the tests. Not playable
// maps: just the header, tag index and scenario that Tarnfold reads, laid
// out as real maps lay them out, and a tail of words in and out of the range
// that moves. Optionally: raw data between the header and the tag index, as
// real maps hold their structure and model data; a level (the scenario's
// named blocks, hud messages, navpoints and tags of given classes) for the
// names scripts refer to; and scripts compiled as the official kit lays
// them out.

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace tarnfold {

using Bytes = std::vector<uint8_t>;

struct SyntheticEncounter {
    std::string name;
    std::vector<std::string> squads;
    std::vector<std::string> platoons;
};

// A tag beyond the map's default ones: its three class codes in reading
// order ("weap", "item", "obje"; "\xff\xff\xff\xff" for none) and its path.
struct SyntheticTag {
    std::string class1, class2 = "\xff\xff\xff\xff", class3 = "\xff\xff\xff\xff";
    std::string path;
};

// The names a level holds. Each non-empty list becomes its scenario block.
struct SyntheticLevel {
    std::vector<std::pair<std::string, int16_t>> objectNames;  // name and object type (-1: none)
    std::vector<std::string> triggerVolumes, cutsceneFlags, cameraPoints, cutsceneTitles, recordings, deviceGroups,
        commandLists, conversations, startingProfiles;
    std::vector<SyntheticEncounter> encounters;
    std::vector<std::string> hudMessages;  // in a hud message text tag of the scenario's
    std::vector<std::string> navpoints;    // in globals\globals -> hud globals
    std::vector<SyntheticTag> tags;
    // The blocks' elements lie after the string data, in the part a compile
    // moves, instead of before the syntax data.
    bool afterStrings = false;
};

// Scripts compiled as the official kit lays them out: a syntax data of 19,001
// nodes, texts for every node, the records in the scenario's data after the
// string data, then a globals block, a references block and the level's
// cutscene flags block. Each script is `(sleep 30)`; each global a short.
struct SyntheticKitScripts {
    std::vector<std::string> scripts;
    std::vector<std::string> globals;
};

struct SyntheticMapOptions {
    bool headLayout = true;        // "daeh" header (index offset at 16) or the other (at 1516)
    uint32_t magic = 0x40440000;   // address - magic = file offset; may have its high bit set
    int32_t tagCount = 4;
    int32_t nodeCapacity = 64;     // nodes the syntax data holds
    int32_t stringDataSize = 1024; // the string data size field
    int32_t tailWords = 1024;      // words of tag data after the string data
    int32_t rawDataSize = 0;       // bytes of raw data after the header (a multiple of 4)
    int32_t tailRemainder = 0;     // 0..3 stray bytes at the very end of the file
    int32_t tag1Skew = 0;          // tag 1's data lies this many bytes after what follows the string data
    uint32_t seed = 1;             // varies the tail's content
    SyntheticLevel level = {};
    SyntheticKitScripts kit = {};  // none: the scenario holds no compiled scripts
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
