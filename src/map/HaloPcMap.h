#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "map/Tag.h"

namespace tarnfold {

class BinaryFile;

// A Halo PC map's header and tag index. The object keeps no file open: the
// caller of LoadMap(BinaryFile&) keeps its own to read the rest of the map.
class HaloPcMap {
public:
    // Halo's tag identifiers carry a 16-bit index, so no real map has more.
    static constexpr int32_t kMaxTagCount = 65536;
    // Tag names are paths of a few dozen bytes. The bound keeps a hostile
    // index, thousands of names pointing into bytes without a zero, from
    // reading the file over and over.
    static constexpr int32_t kMaxTagNameLength = 1024;
    static constexpr int64_t kMaxMapLength = INT32_MAX;

    // The map's own names for what it holds. The lookups by name and by
    // identifier that a map object could offer are left out: nothing here
    // finds a tag but the scenario, which is entry 0.
    int32_t Magic = 0;        // MapMagic - tagOffset: address - Magic = file offset
    int32_t TagCount = 0;     // the tag count field
    std::vector<Tag> TagCache;  // the tag index entries, in order
    int32_t tagOffset = 0;    // file offset of the first entry (indexOffset + 40)
    int32_t indexOffset = 0;  // file offset of the tag index header
    int32_t MapMagic = 0;     // the address of the first entry, as stored
    std::filesystem::path f;  // the chosen map ("file"); empty when none is loaded
    bool HeadLayout = false;  // the file starts with "daeh"
    int32_t Version = 0;      // the header's version field: which game the map is for

    // The scenario: entry 0 of the tag index (null before a map is loaded).
    const Tag* Scenario() const { return TagCache.empty() ? nullptr : &TagCache.front(); }

    // Reads and checks the header and tag index of the map at `path`, or of
    // `file`, which an operation keeps open to read the rest of the map
    // from. A map that fails a check is refused with an Error and leaves no
    // map loaded.
    void LoadMap(const std::filesystem::path& path);
    void LoadMap(BinaryFile& file);

    static std::string Reverse(std::string_view text);

private:
    void Read(BinaryFile& file);
    void ReadIndex(BinaryFile& file, const std::string& where);
};

}  // namespace tarnfold
