// Moving the addresses that point past an insertion: the signed range test,
// the tag index walk and the word scan.
#include "Support.h"

#include <bit>

#include "map/HaloPcMap.h"
#include "map/Relocation.h"

namespace tarnfold::testing {
namespace {

TEST(Relocation, RangeIsSignedFromPointToFileLength) {
    struct Case {
        int32_t point;
        uint32_t magic;
        int64_t length;
        uint32_t value;
        bool moves;
    };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        const Relocation relocation{c.point, int32_t(c.magic), 16, c.length};
        SCOPED_TRACE(::testing::Message() << std::hex << "value 0x" << c.value << ", magic 0x" << c.magic);
        EXPECT_EQ(relocation.Moves(int32_t(c.value)), c.moves);
        Bytes word{uint8_t(c.value), uint8_t(c.value >> 8), uint8_t(c.value >> 16), uint8_t(c.value >> 24)};
        EXPECT_EQ(relocation.ApplyToWords(word.data(), 4), c.moves ? 1 : 0);
        EXPECT_EQ(Word(word, 0), c.moves ? c.value + 16 : c.value);
    }
}

// A small map whose tail is all zeros except for the words a test plants.
// Tag 1's data lies before the point; tags 2 and 3 lie in the moved part.
class UpdateFromPoint : public MapFolder {
protected:
    void SetUp() override {
        MapFolder::SetUp();
        Reset(3);
    }
    void Reset(int32_t remainder, int32_t tailWords = 32) {
        map = BuildSyntheticMap({.tailWords = tailWords, .tailRemainder = remainder});
        std::fill(map.bytes.begin() + map.tail, map.bytes.end(), 0);
        point = map.tail + 40;
        map.SetWord(map.Entry(1) + 20, uint32_t(map.Address(map.tail)));
        map.SetWord(map.Entry(2) + 20, uint32_t(map.Address(point)));
        map.SetWord(map.Entry(3) + 20, uint32_t(map.Address(map.Length() - 4)));
    }
    // Runs UpdateFromPoint on the map as planted and returns the file after it.
    Bytes Run(int32_t scanStart, int32_t shift) {
        const auto path = Save(map);
        HaloPcMap loaded;
        loaded.LoadMap(path);
        loaded.UpdateFromPoint(scanStart, point, shift);
        return ReadFileBytes(path);
    }
    // The planted map with tags 2 and 3 and the `scanned` words moved by `shift`.
    Bytes Moved(std::initializer_list<int64_t> scanned, uint32_t shift) const {
        SyntheticMap expected = map;
        for (const int64_t at : {map.Entry(2) + 20, map.Entry(3) + 20}) expected.SetWord(at, map.Word(at) + shift);
        for (const int64_t at : scanned) expected.SetWord(at, map.Word(at) + shift);
        return expected.bytes;
    }
    void FillTail(uint32_t word) {
        for (int64_t at = map.tail; at + 4 <= map.Length(); at += 4) map.SetWord(at, word);
    }

    SyntheticMap map;
    int32_t point = 0;
};

TEST_F(UpdateFromPoint, MovesTagAddressesAndScannedWordsInRange) {
    const auto inRange = uint32_t(map.Address(point));
    map.SetWord(map.tail + 0, inRange);
    map.SetWord(map.tail + 4, inRange - 1);
    map.SetWord(map.tail + 8, uint32_t(map.Address(map.Length())));
    map.SetWord(map.tail + 12, uint32_t(map.Address(map.Length() - 1)));
    map.SetWord(map.tail + 16, inRange | 0x80000000u);
    map.SetWord(map.tail - 8, inRange);       // before scanStart
    map.SetWord(map.Entry(3) + 16, inRange);  // names are never moved
    map.SetWord(map.Entry(4) + 20, inRange);  // past the last entry: no entry
    EXPECT_TRUE(SameBytes(Run(map.tail, 0x100), Moved({map.tail, map.tail + 12}, 0x100)));
}

TEST_F(UpdateFromPoint, ZeroShiftOrAScanFromPastTheEndLeavesTheTail) {
    FillTail(uint32_t(map.Address(point)));
    EXPECT_TRUE(SameBytes(Run(map.tail, 0), map.bytes));
    // A negative position lies past the end too: scanning from 0 instead
    // would move the tag index's data addresses a second time.
    for (const int64_t scanStart : {map.Length(), map.Length() + 100, int64_t{-4}})
        EXPECT_TRUE(SameBytes(Run(int32_t(scanStart), 8), Moved({}, 8))) << "scan from " << scanStart;
}

TEST_F(UpdateFromPoint, ScanStopsAtTheLastWholeWord) {
    for (const int32_t remainder : {1, 2, 3}) {
        Reset(remainder);
        const int64_t last = map.Length() - remainder - 4;
        map.SetWord(last, uint32_t(map.Address(point)));
        std::fill(map.bytes.begin() + last + 4, map.bytes.end(), 0x40);
        EXPECT_TRUE(SameBytes(Run(map.tail, 4), Moved({last}, 4))) << remainder << " bytes left over";
    }
}

// Words count from the scan start, not the file's grid, across the pieces of
// a 12 MiB file.
TEST_F(UpdateFromPoint, UnalignedScanGridHoldsAcrossMegabytes) {
    Reset(3, 3 << 20);
    const int64_t scanStart = map.tail + 2;
    map.SetWord(map.tail + 8, uint32_t(map.Address(point)));  // on the file's grid only
    std::vector<int64_t> across;  // the scanned words that hold byte 4 MiB and byte 8 MiB
    for (const int64_t mib : {4, 8}) across.push_back(scanStart + ((mib << 20) - scanStart) / 4 * 4);
    for (const int64_t at : across) map.SetWord(at, uint32_t(map.Address(point)));
    EXPECT_TRUE(SameBytes(Run(int32_t(scanStart), 4), Moved({across[0], across[1]}, 4)));
}

// The compile scans its new file from tag 1's data as it was loaded, which
// now holds the end of the inserted data: words there that look like
// addresses into the moved part move like any other.
class CompileScan : public MapFolder {};

TEST_F(CompileScan, CoversTheInsertedDataThatNowLiesAtTag1) {
    const auto map = BuildSyntheticMap({.tailWords = 4096});
    ASSERT_EQ(map.tag1, map.tail);
    const auto path = Save(map);
    // "AAD@" is the address 0x40444141, offset 0x4141 in this map; the
    // command's text ends with it exactly at the old end of the string data.
    const std::string command = std::string(1018, 'x') + "AAD@";
    Compile(path, "<s><script NameAttr=\"AAD@\"><ScriptCommand Command=\"" + command + "\"/></script></s>");

    const Bytes after = ReadFileBytes(path);
    const int32_t L = 6 + 1023, growth = 92 + 1032;
    const auto moved = uint32_t(map.Address(0x4141 + growth));
    EXPECT_EQ(Word(after, map.tail), moved) << "the end of the command's text";
    EXPECT_EQ(Word(after, map.stringData + 1024 + 1032), moved) << "the script's name";
    EXPECT_EQ(Word(after, map.scenario + 1160), uint32_t(1024 + L));
}

}  // namespace
}  // namespace tarnfold::testing
