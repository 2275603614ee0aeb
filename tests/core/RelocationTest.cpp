// Moving the addresses that point past the script data: the signed range
// test, the tag index walk and the word scan.
#include <gtest/gtest.h>

#include <bit>

#include "ExpectedMap.h"
#include "compiler/ScenarioLayout.h"
#include "compiler/Tarnfold.h"
#include "map/HaloPcMap.h"
#include "map/MapLayout.h"
#include "map/Relocation.h"

namespace tarnfold::testing {
namespace {

using map_layout::kEntryDataAddress;

TEST(Relocation, RangeIsSignedFromPointToFileLength) {
    const struct {
        int32_t point;
        uint32_t magic;
        int64_t length;
        uint32_t value;
        bool moves;
    } cases[] = {
        {100, 1000, 200, 1100, true},  // exactly point + Magic
        {100, 1000, 200, 1099, false},
        {100, 1000, 200, 1199, true},
        {100, 1000, 200, 1200, false},  // exactly length + Magic
        {0, 0x40440000, 64, std::bit_cast<uint32_t>(3.0625f), true},  // a float is only its bits
        {100, 0x40000000, 200, 0xC0000064, false},  // high bit: negative, below a positive bound
        {100, 0xC0000000, 200, 0xC0000064, true},   // high-bit Magic: the whole range is negative
        {100, 0xC0000000, 200, 0xC00000C8, false},
        {100, 0xC0000000, 200, 0x40000064, false},
        // point + Magic wraps past 2^31: the low bound turns negative, the
        // high bound (64-bit) lies above every int32.
        {0x200, 0x7FFFFF00, 0x1000, 5, true},
        {0x200, 0x7FFFFF00, 0x1000, 0x7FFFFFFF, true},
        {0x200, 0x7FFFFF00, 0x1000, 0x80000100, true},
        {0x200, 0x7FFFFF00, 0x1000, 0x800000FF, false},
    };
    for (const auto& c : cases) {
        const Relocation relocation{c.point, int32_t(c.magic), 16, c.length};
        SCOPED_TRACE(::testing::Message() << std::hex << "value 0x" << c.value << ", magic 0x" << c.magic);
        Bytes word{uint8_t(c.value), uint8_t(c.value >> 8), uint8_t(c.value >> 16), uint8_t(c.value >> 24)};
        EXPECT_EQ(relocation.ApplyToWords(word.data(), 4), c.moves ? 1 : 0);
        EXPECT_EQ(Word(word, 0), c.moves ? c.value + 16 : c.value);
    }
}

// UpdateFromPoint on a map whose tail is zero but for planted words: tag 1's
// data lies before the point, tags 2 and 3 in the moved part. The scan counts
// words from its start, not the file's grid, across the pieces of a 12 MiB
// file, and stops at the last whole word; a start past the end, or negative,
// scans nothing.
TEST(Relocation, UpdateFromPointMovesTagAddressesAndScannedWords) {
    SyntheticMap map = BuildSyntheticMap({.tailWords = 3 << 20, .tailRemainder = 3});
    std::fill(map.bytes.begin() + map.tail, map.bytes.end(), 0);
    const int32_t point = map.tail + 40, scanStart = map.tail + 2;
    const auto inRange = uint32_t(map.Address(point));
    map.SetWord(map.Entry(1) + kEntryDataAddress, uint32_t(map.Address(map.tail)));
    map.SetWord(map.Entry(2) + kEntryDataAddress, inRange);
    map.SetWord(map.Entry(3) + kEntryDataAddress, uint32_t(map.Address(map.Length() - 4)));
    map.SetWord(map.Entry(3) + 16, inRange);  // names are never moved
    map.SetWord(map.Entry(4) + kEntryDataAddress, inRange);  // past the last entry: no entry
    map.SetWord(scanStart - 8, inRange);  // before the scan
    map.SetWord(map.tail + 1000, inRange);  // on the file's grid only
    const std::vector<std::pair<int64_t, uint32_t>> scanned = {
        {scanStart, inRange},
        {scanStart + 4, inRange - 1},
        {scanStart + 8, uint32_t(map.Address(map.Length()))},
        {scanStart + 12, uint32_t(map.Address(map.Length() - 1))},
        {scanStart + 16, inRange | 0x80000000u},
        {scanStart + ((4 << 20) - scanStart) / 4 * 4, inRange},  // holds byte 4 MiB
        {map.Length() - 5, inRange},                            // the last whole word
    };
    for (const auto& [at, value] : scanned) map.SetWord(at, value);

    for (const int64_t start : {int64_t{scanStart}, map.Length(), int64_t{-4}}) {
        TempFolder temp;
        HaloPcMap loaded;
        loaded.LoadMap(Saved(map, temp));
        loaded.UpdateFromPoint(int32_t(start), point, 0x100);
        SyntheticMap expected = map;
        for (const int64_t at : {map.Entry(2) + kEntryDataAddress, map.Entry(3) + kEntryDataAddress})
            expected.SetWord(at, map.Word(at) + 0x100);
        if (start == scanStart)
            for (const int64_t at : {scanned[0].first, scanned[3].first, scanned[5].first, scanned[6].first})
                expected.SetWord(at, map.Word(at) + 0x100);
        EXPECT_EQ(Difference(ReadFileBytes(temp / "m.map"), expected.bytes), "") << "scan from " << start;
    }
}

// The compile scans its new file from tag 1's data as it was loaded, which
// now holds the end of the inserted data: words there that look like
// addresses into the moved part move like any other.
TEST(Relocation, CompileScanCoversTheInsertedDataThatNowLiesAtTag1) {
    const auto map = BuildSyntheticMap({.tailWords = 4096});
    ASSERT_EQ(map.tag1, map.tail);
    TempFolder temp;
    // "AAD@" is the address 0x40444141, offset 0x4141 in this map; the
    // command's text ends with it exactly at the old end of the string data.
    const std::string command = std::string(1018, 'x') + "AAD@";
    CompileDocument(Saved(map, temp), "<s><script NameAttr=\"AAD@\"><ScriptCommand Command=\"" + command + "\"/></script></s>");

    const Bytes after = ReadFileBytes(temp / "m.map");
    const int32_t L = 6 + 1023, growth = 92 + 1032;
    const auto moved = uint32_t(map.Address(0x4141 + growth));
    EXPECT_EQ(Word(after, map.tail), moved) << "the end of the command's text";
    EXPECT_EQ(Word(after, map.stringData + 1024 + 1032), moved) << "the script's name";
    EXPECT_EQ(Word(after, map.scenario + scenario::kStringDataSize), uint32_t(1024 + L));
}

}  // namespace
}  // namespace tarnfold::testing
