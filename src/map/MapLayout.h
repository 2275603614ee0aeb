#pragma once

#include <cstdint>

#include "runtime/ByteOrder.h"

// The layout of a Halo PC map's header and tag index: the offsets Tarnfold
// reads and writes, named once. All integers are little-endian.
namespace tarnfold::map_layout {

// The header. Its first four bytes select where the tag index offset is kept.
constexpr char kHeadMagic[] = "daeh";
constexpr int64_t kHeadMagicSize = 4;
constexpr int64_t kVersion = 4;                      // int32: 7 retail, 609 Custom Edition
// In a "daeh" header: the file's length, and the length of the tag data
// (index, names and tag data up to the end), which the game loads whole.
constexpr int64_t kFileSize = 8;
constexpr int64_t kTagDataSize = 20;
constexpr int64_t kIndexOffsetInDaehHeader = 16;    // when the file starts with "daeh"
constexpr int64_t kIndexOffsetInOtherHeader = 1516;  // any other header
constexpr int64_t kIndexOffsetSize = 4;

constexpr int64_t IndexOffsetField(bool headLayout) {
    return headLayout ? kIndexOffsetInDaehHeader : kIndexOffsetInOtherHeader;
}

// The tag index header, at the index offset; the entries follow it.
constexpr int64_t kIndexAddress = 0;  // int32: the address of the first entry (MapMagic)
constexpr int64_t kIndexTagCount = 12;
constexpr int64_t kIndexHeaderSize = 40;

// One tag entry.
constexpr int64_t kEntrySize = 32;
constexpr int64_t kEntryClass1 = 0;  // four class-code bytes, last character first
constexpr int64_t kEntryClass2 = 4;
constexpr int64_t kEntryClass3 = 8;
constexpr int64_t kEntryIdent = 12;
constexpr int64_t kEntryNameAddress = 16;
constexpr int64_t kEntryDataAddress = 20;

}  // namespace tarnfold::map_layout

namespace tarnfold {

// A map stores pointers as addresses; subtracting the map's Magic gives the
// file offset. Both directions wrap in 32 bits, as the format's own
// arithmetic does.
inline int32_t AddressToOffset(int64_t address, int32_t magic) { return Wrap32(address - magic); }
inline int32_t OffsetToAddress(int64_t offset, int32_t magic) { return Wrap32(offset + magic); }

}  // namespace tarnfold
