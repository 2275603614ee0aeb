#include "map/HaloPcMap.h"

#include <algorithm>

#include "map/MapLayout.h"
#include "runtime/BinaryFile.h"
#include "runtime/ByteOrder.h"
#include "runtime/Error.h"
#include "runtime/Utf8Path.h"
#include "runtime/Printable.h"

namespace tarnfold {

namespace {

using namespace map_layout;

std::string Where(const std::filesystem::path& path) { return "map '" + Utf8(path) + "': "; }

}  // namespace

std::string HaloPcMap::Reverse(std::string_view text) { return std::string(text.rbegin(), text.rend()); }

void HaloPcMap::LoadMap(const std::filesystem::path& path) {
    *this = HaloPcMap();  // a map that cannot be opened leaves none loaded
    BinaryFile file(path, "map file");
    LoadMap(file);
}

void HaloPcMap::LoadMap(BinaryFile& file) {
    try {
        HaloPcMap loaded;
        loaded.Read(file);
        *this = std::move(loaded);
        f = file.Path();
    } catch (...) {
        // Half-read state must never be taken for a loaded map.
        *this = HaloPcMap();
        throw;
    }
}

void HaloPcMap::Read(BinaryFile& file) {
    const int64_t length = file.Length();
    const std::string where = Where(file.Path());

    if (length < 4)
        throw Error(where + "the file is " + std::to_string(length) +
                    " bytes long, too short to be a map");
    // Every offset in a map is a signed 32-bit number.
    if (length > kMaxMapLength)
        throw Error(where + "the file is " + std::to_string(length) + " bytes long; a map holds at most " +
                    std::to_string(kMaxMapLength) + " bytes, as its offsets are 32-bit");
    uint8_t head[kHeadMagicSize];
    file.Read(0, head, kHeadMagicSize);
    HeadLayout = std::equal(head, head + kHeadMagicSize, kHeadMagic);
    if (file.Contains(kVersion, 4)) Version = file.ReadInt32(kVersion, "the header's version");
    if (HeadLayout) return ReadIndex(file, where);
    // Without the "daeh" mark only a sound tag index says that the file is a
    // map; any other file (a script given in the map's place, say) fails
    // here, and is called what it is before the detail.
    // The detail goes without the map's name, which leads the message.
    try {
        ReadIndex(file, std::string());
    } catch (const Error& error) {
        throw Error(where + "not a Halo PC map: no 'daeh' header, and no tag index where byte " +
                    std::to_string(kIndexOffsetInOtherHeader) + " says (" + error.what() + ")");
    }
}

void HaloPcMap::ReadIndex(BinaryFile& file, const std::string& where) {
    const int64_t length = file.Length();
    const int64_t indexOffsetField = IndexOffsetField(HeadLayout);
    if (!file.Contains(indexOffsetField, kIndexOffsetSize))
        throw Error(where + "the file is " + std::to_string(length) +
                    " bytes long, too short to hold the index offset at " +
                    std::to_string(indexOffsetField));
    indexOffset = file.ReadInt32(indexOffsetField, "index offset");
    if (!file.Contains(indexOffset, kIndexHeaderSize))
        throw Error(where + "the index offset " + DescribeOffset(indexOffset) +
                    " does not leave room for the tag index header inside the file (" +
                    std::to_string(length) + " bytes)");

    MapMagic = file.ReadInt32(indexOffset + kIndexAddress, "tag index address");
    TagCount = file.ReadInt32(indexOffset + kIndexTagCount, "tag count");
    tagOffset = indexOffset + static_cast<int32_t>(kIndexHeaderSize);
    Magic = Wrap32(int64_t{MapMagic} - tagOffset);

    if (TagCount < 2)
        throw Error(where + "the tag count is " + std::to_string(TagCount) +
                    "; a map needs its scenario (tag 0) and at least one more tag");
    if (TagCount > kMaxTagCount)
        throw Error(where + "the tag count " + std::to_string(TagCount) + " is more than a map can hold (" +
                    std::to_string(kMaxTagCount) + ")");
    if (!file.Contains(tagOffset, kEntrySize * TagCount))
        throw Error(where + "the tag index (" + std::to_string(TagCount) + " entries from offset " +
                    DescribeOffset(tagOffset) + ") runs past the end of the file (" +
                    std::to_string(length) + " bytes)");

    const auto entries = file.ReadBytes(tagOffset, static_cast<size_t>(kEntrySize * TagCount));
    TagCache.clear();
    TagCache.reserve(static_cast<size_t>(TagCount));
    for (int32_t i = 0; i < TagCount; ++i) {
        const uint8_t* entry = entries.data() + kEntrySize * i;
        const auto code = [entry](int at) {
            return Reverse(std::string_view(reinterpret_cast<const char*>(entry + at), 4));
        };
        Tag tag;
        tag.Class1 = code(kEntryClass1);
        tag.Class2 = code(kEntryClass2);
        tag.Class3 = code(kEntryClass3);
        tag.ident = static_cast<int32_t>(ReadUInt32LE(entry + kEntryIdent));
        tag.NameOffset = AddressToOffset(ReadInt32LE(entry + kEntryNameAddress), Magic);
        tag.Name = file.ReadZeroTerminated(tag.NameOffset, kMaxTagNameLength + 1);
        if (tag.Name.size() > static_cast<size_t>(kMaxTagNameLength))
            throw Error(where + "the name of tag " + std::to_string(i) + " at offset " +
                        DescribeOffset(tag.NameOffset) + " runs on for more than " +
                        std::to_string(kMaxTagNameLength) + " bytes without an ending zero byte");
        tag.Offset = AddressToOffset(ReadInt32LE(entry + kEntryDataAddress), Magic);
        TagCache.push_back(std::move(tag));
    }

    if (TagCache[0].Class1 != "scnr")
        throw Error(where + "tag 0 has the class \"" + Printable(TagCache[0].Class1) +
                    "\", but the first tag of a map must be its scenario (\"scnr\")");
}

}  // namespace tarnfold
