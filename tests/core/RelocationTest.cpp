// Moving what lies past the script data: the signed range test, the tag
// index walk and the word scan; and compiles into a map Tarnfold compiled,
// which replace the scripts and move the rest of the map by the difference
// (back when the map shrinks): the map is then that of the new document
// compiled into the map as it was first.
#include <gtest/gtest.h>

#include <bit>

#include "ExpectedMap.h"
#include "compiler/Internal.h"
#include "map/HaloPcMap.h"
#include "map/MapRewrite.h"
#include "map/Relocation.h"
#include "runtime/BinaryFile.h"

namespace tarnfold::testing {
namespace {

using namespace layout;

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
        {100, 1000, 200, 1200, false},                                // exactly length + Magic
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

// The relocation moves the tag index's data addresses and the scanned words
// in range; a scan that starts past the end, or at a negative position,
// moves no word.
TEST(Relocation, MovesTagAddressesAndScannedWords) {
    SyntheticMap map = BuildSyntheticMap({.tailWords = 64});
    std::fill(map.bytes.begin() + map.tail, map.bytes.end(), 0);
    const int32_t point = map.tail + 40;
    const auto inRange = uint32_t(map.Address(point));
    const int64_t entry2 = map.Entry(2) + kEntryDataAddress, entry3 = map.Entry(3) + kEntryDataAddress;
    map.SetWord(map.Entry(1) + kEntryDataAddress, uint32_t(map.Address(map.tail)));
    map.SetWord(entry2, inRange - 1);
    map.SetWord(entry3, inRange);
    map.SetWord(map.Entry(3) + 16, inRange);  // names are never moved
    for (const int64_t at : {0, 4, 8}) map.SetWord(map.tail + at, inRange + at);
    for (const int64_t start : {int64_t{map.tail} + 4, map.Length(), int64_t{-4}}) {
        TempFolder temp;
        HaloPcMap loaded;
        loaded.LoadMap(Saved(map, temp));
        BinaryFile old(temp / "m.map");
        MapRewrite rewrite;
        rewrite.pieces.push_back(MapRewrite::Piece::FromOldFile(0, old.Length()));
        PlanRelocation(rewrite, old, loaded, int32_t(start), point, 0x100);
        SyntheticMap expected = map;
        expected.SetWord(entry3, inRange + 0x100);
        if (start == map.tail + 4)
            for (const int64_t at : {4, 8}) expected.SetWord(map.tail + at, inRange + at + 0x100);
        EXPECT_EQ(Difference(rewrite.ReadFinal(old, 0, size_t(old.Length())), expected.bytes), "")
            << "scan from " << start;
    }
}

// When tag 1's data starts right at the end of the old script data, the new
// script data now lies where the scan would start: the scan starts after
// it, and words in it that look like addresses into the moved part stay.
TEST(Relocation, TheScanNeverRunsOverTheDataJustWritten) {
    const auto map = BuildSyntheticMap({.tailWords = 4096});
    ASSERT_EQ(map.tag1, map.tail);
    TempFolder temp;
    // "AAD@" is the address 0x40444141, offset 0x4141 in this map; the
    // command's text ends with it exactly at the old end of the string data.
    const std::string command = std::string(1018, 'x') + "AAD@";
    const std::string document =
        "<s><script NameAttr=\"AAD@\"><ScriptCommand Command=\"" + command + "\"/></script></s>";
    CompileDocument(Saved(map, temp), document);

    const Bytes after = ReadFileBytes(temp / "m.map");
    EXPECT_EQ(Word(after, map.tail), uint32_t(map.Address(0x4141))) << "the end of the command's text";
    EXPECT_EQ(Word(after, map.stringData + 1024 + 1032), uint32_t(map.Address(0x4141)))
        << "the script's name";
    EXPECT_EQ(Difference(after, ExpectedMap(map.bytes, Built(document))), "");
}

// One script whose call stores a text of `bytes` bytes.
std::string Long(size_t bytes) {
    return R"(<s><l NameAttr="long"><ScriptCommand Command=")" + std::string(bytes, 'l') + R"("/></l></s>)";
}
// Three scripts of one constant each.
const std::string kThree = R"(<s><a NameAttr="a"><ScriptValue ValueType="8" Value="1"/></a>
  <b NameAttr="b"><ScriptValue ValueType="8" Value="2"/></b><c NameAttr="c"><ScriptValue ValueType="8" Value="3"/></c></s>)";

// A map without words that point past its end: those are no addresses of
// the map, and only addresses keep the property below.
SyntheticMap MapOfAddresses() {
    SyntheticMap map = BuildSyntheticMap({.tailWords = 4096});
    for (int64_t at = map.tail; at + 4 <= map.Length(); at += 4)
        if (int32_t(map.Word(at)) >= map.Address(map.Length()) &&
            int32_t(map.Word(at)) < map.Address(map.Length() + 8))
            map.SetWord(at, 0);
    return map;
}

TEST(Recompile, GrowingShrinkingOrEqualGivesTheNewDocumentsMap) {
    const struct {
        const char* name;
        std::string first, second;
    } cases[] = {
        {"equal", Intro(), Intro()},
        {"growing", Intro(), Long(6000)},
        {"shrinking by thousands of bytes, more nodes", Long(6000), kThree},
        {"fewer nodes", kThree, Intro()},
    };
    const SyntheticMap map = MapOfAddresses();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder temp;
        const auto path = Saved(map, temp);
        CompileDocument(path, c.first);
        const Bytes first = ReadFileBytes(path);
        const CompileSummary summary = CompileDocument(path, c.second);
        EXPECT_TRUE(summary.recompiled);
        const Bytes second = ReadFileBytes(path);
        EXPECT_EQ(Difference(second, ExpectedMap(first, Built(c.second))), "");
        if (c.first == c.second) {
            EXPECT_EQ(Difference(second, first), "");
        }

        // The second document compiled into the map as it was, but for the
        // nodes of the first past the second's: free slots, all zero.
        TempFolder direct;
        CompileDocument(Saved(map, direct), c.second);
        Bytes expected = ReadFileBytes(direct / "m.map");
        const auto slot = [&](size_t node) {
            return expected.begin() + map.syntaxHeader + layout::kHeaderSize + 20 * node;
        };
        const size_t nodes = Built(c.second).nodes.size(),
                     stale = std::max(nodes, Built(c.first).nodes.size());
        std::fill(slot(nodes), slot(stale), 0);
        EXPECT_EQ(Difference(second, expected), "");
    }
}

// A map laid out as real ones are, raw data first, its words that look like
// moved addresses lying before the scan: a compile and a recompile give the
// expected maps whether the head is copied inside the kernel or streamed.
TEST(Recompile, RealLayoutGivesTheExpectedMapWhicheverWayTheHeadIsCopied) {
    const SyntheticMap map = BuildSyntheticMap({.tailWords = 4096, .rawDataSize = 3 << 20});
    for (const bool copyHead : {false, true}) {
        SCOPED_TRACE(copyHead ? "head copied by the kernel" : "head streamed");
        TempFolder temp;
        const auto path = Saved(map, temp);
        WriteHooks hooks;
        hooks.copyHead = copyHead;
        Bytes before = map.bytes;
        for (const std::string& document : {Intro(), Long(6000)}) {
            CompileDocument(path, document, {}, hooks);
            Bytes after = ReadFileBytes(path);
            EXPECT_EQ(Difference(after, ExpectedMap(before, Built(document))), "");
            before = std::move(after);
        }
    }
}

TEST(Recompile, DryRunWritesNothingAndReportsTheCompile) {
    TempFolder temp;
    const auto path = Saved(BuildSyntheticMap(), temp);
    CompileDocument(path, Intro());
    const Bytes before = ReadFileBytes(path);
    const CompileSummary dry = CompileDocument(path, Long(3000), [] {
        CompileOptions dryRun;
        dryRun.dryRun = true;
        return dryRun;
    }());
    EXPECT_TRUE(dry.dryRun && dry.recompiled);
    EXPECT_EQ(Difference(ReadFileBytes(path), before), "");
    EXPECT_EQ(temp.Others(), std::vector<std::string>{"m.map"});
    const CompileSummary real = CompileDocument(path, Long(3000));
    EXPECT_EQ(std::tie(dry.scripts, dry.nodes, dry.textBytes, dry.growth, dry.relocatedWords),
              std::tie(real.scripts, real.nodes, real.textBytes, real.growth, real.relocatedWords));
}

}  // namespace
}  // namespace tarnfold::testing
