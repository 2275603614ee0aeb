// Hostile input. Maps whose bytes lie: cut short, or with offsets, counts and
// addresses that point outside the file, are negative or wrap around 32 bits,
// in maps without scripts and in maps Tarnfold compiled. Documents nested far
// past any script. Every compile must refuse clearly with the map untouched
// or write a sound map; tarnfold::fuzz::CompileAndCheck holds it to that.
#include <gmock/gmock.h>

#include <chrono>
#include <cstdio>

#include "CompileCheck.h"
#include "ExpectedMap.h"
#include "compiler/Tarnfold.h"
#include "map/HaloPcMap.h"
#include "runtime/Error.h"

namespace tarnfold::robustness {
namespace {

using namespace testing::layout;
using namespace testing;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

fuzz::Outcome Compile(const Bytes& bytes, const std::string& document = Intro()) {
    WriteFile(fuzz::ScratchFolder() / "m.map", bytes);
    return fuzz::CompileAndCheck(fuzz::ScratchFolder() / "m.map", document);
}

TEST(HostileMap, EveryTruncationRefusesOrCompilesSoundly) {
    const SyntheticMap map = BuildSyntheticMap({.tagCount = 3, .nodeCapacity = 32, .tailWords = 64});
    int compiled = 0;
    for (size_t length = 0; length <= map.bytes.size(); ++length)
        compiled += Compile(Bytes(map.bytes.begin(), map.bytes.begin() + long(length))).compiled;
    // Cut anywhere in the tail, the map is still whole up to tag 1's data.
    EXPECT_EQ(compiled, int(map.bytes.size()) - map.tag1 + 1);
}

// Every field a load or a compile follows, set to values outside the file,
// negative, or wrapping when turned into an offset, in a map without scripts
// and in the same map compiled.
TEST(HostileMap, FieldsPointingOutsideTheFileAreRefusedClearly) {
    const SyntheticMap map = BuildSyntheticMap({.tagCount = 3, .nodeCapacity = 32, .tailWords = 64});
    const int64_t S = map.scenario;
    const auto length = uint32_t(map.bytes.size());
    const int64_t fields[] = {
        IndexOffsetField(true),
        map.indexOffset + kIndexAddress,
        map.indexOffset + kIndexTagCount,
        map.Entry(0) + kEntryNameAddress,
        map.Entry(0) + kEntryDataAddress,
        map.Entry(1) + kEntryDataAddress,
        S + kSyntaxDataSize,
        S + kSyntaxDataAddress,
        S + kStringDataSize,
        S + kStringDataAddress,
        S + kScriptCount,
        S + kScriptsAddress,
        S + kMovedAddress,
        map.syntaxHeader + layout::kLastIndex,
    };
    const auto address = [&map](int64_t offset) { return uint32_t(map.Address(offset)); };
    const uint32_t values[] = {
        0,
        1,
        length - 1,
        length,
        0x7FFFFFFF,
        0x80000000,
        0xFFFFFFFF,
        0xFFFFFFF0,
        address(-1),
        address(length),
        address(length - 2),
        address(0x7FFFFFFF),
        address(-0x80000000LL),
    };
    const Bytes compiled = ExpectedMap(map.bytes, Built(Intro()));
    int cases = 0, refused = 0;
    for (const Bytes& before : {map.bytes, compiled}) {
        for (const int64_t field : fields) {
            for (const uint32_t value : values) {
                Bytes bytes = before;
                PutWord(bytes, field, value);
                const auto outcome = Compile(bytes);
                ++cases;
                if (outcome.compiled) continue;
                ++refused;
                // A clear message says where: an offset, a count or a size.
                EXPECT_NE(outcome.refusal.find_first_of("0123456789"), std::string::npos)
                    << field << " = " << value << ": " << outcome.refusal;
            }
        }
    }
    std::printf("%d hostile field values, %d refused, the rest compiled soundly\n", cases, refused);
}

TEST(HostileMap, HugeTagCountsAreRefusedOrReadInBoundedTime) {
    // The largest count a map can have, every entry sound: it compiles.
    SyntheticMap map = BuildSyntheticMap({.tagCount = 65536, .nodeCapacity = 32, .tailWords = 65536});
    EXPECT_TRUE(Compile(map.bytes).compiled);
    // Each name runs through megabytes without a zero byte. Reading every one
    // to its end took minutes; the name length bound refuses it at once.
    const int64_t names = map.Entry(65536);
    std::fill(map.bytes.begin() + names, map.bytes.begin() + names + 32 * 65536, 'n');
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THAT(Compile(map.bytes).refusal, HasSubstr("without an ending zero byte"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

// Offsets in a map are signed 32-bit: a larger file cannot be a map, and a
// compile must not make one. Sparse files keep this cheap.
TEST(HostileMap, MapsPastThirtyTwoBitOffsetsAreRefused) {
    TempFolder folder;
    const auto path = Saved(BuildSyntheticMap(), folder);
    std::filesystem::resize_file(path, int64_t{1} << 31);
    EXPECT_THAT([&] { CompileDocument(path, Intro()); },
                ThrowsMessage<Error>(HasSubstr("a map holds at most 2147483647 bytes")));
    std::filesystem::resize_file(path, (int64_t{1} << 31) - 64);
    const auto written = std::filesystem::last_write_time(path);
    EXPECT_THAT([&] { CompileDocument(path, Intro()); },
                ThrowsMessage<Error>(HasSubstr("(Magic 1078198272 (0x40440000) + 2147483696 bytes)")));
    EXPECT_EQ(std::filesystem::last_write_time(path), written);
    EXPECT_EQ(folder.Others(), std::vector<std::string>{"m.map"});
}

TEST(HostileDocument, NestingIsRefusedPastAFewHundredLevelsWithoutOverflowingTheStack) {
    const auto nested = [](int depth) {
        std::string document = "<s><x NameAttr=\"deep\">";
        for (int i = 0; i < depth; ++i)
            document += "<ScriptCommand Command=\"f\" EngineId=\"1\" ValueType=\"2\">";
        for (int i = 0; i < depth; ++i) document += "</ScriptCommand>";
        return document + "</x></s>";
    };
    const Bytes map = BuildSyntheticMap({.nodeCapacity = 600}).bytes;
    EXPECT_THAT(Compile(map, nested(100000)).refusal,
                HasSubstr("<document>:1:13739: error: elements are nested deeper than 256 levels"));
    EXPECT_TRUE(Compile(map, nested(250)).compiled);  // the builder recurses once per level
}

}  // namespace
}  // namespace tarnfold::robustness
