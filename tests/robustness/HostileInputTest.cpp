// Hostile input. Maps whose bytes lie: cut short, or with offsets, counts and
// addresses that point outside the file, are negative or wrap around 32 bits.
// Documents built to hurt: nesting far past any script, tens of megabytes,
// and entity tricks. Every compile must refuse clearly with the map
// untouched or write a sound map; tarnfold::fuzz::CompileAndCheck holds it
// to that.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "CompileCheck.h"
#include "SyntheticMap.h"
#include "compiler/ScenarioLayout.h"
#include "compiler/ScriptCompilier.h"
#include "map/HaloPcMap.h"
#include "runtime/Error.h"
#include "runtime/Xml.h"

namespace tarnfold::robustness {
namespace {

using ::testing::HasSubstr;
using ::testing::ThrowsMessage;
using testing::BuildSyntheticMap;
using testing::SyntheticMap;
using testing::TempFolder;

constexpr const char* kDocument = R"(<scripts><script NameAttr="intro" TypeAttr="1" ReTypeAttr="4">
  <ScriptCommand Command="alpha" EngineId="3" ValueType="4"><ScriptValue ValueType="7" Value="30"/></ScriptCommand>
  <GlobalValue ValueType="11" Value="2" ValueCommand="beta"/></script></scripts>)";

fuzz::Outcome Compile(const TempFolder& folder, const std::vector<uint8_t>& bytes) {
    const auto path = folder / "m.map";
    testing::WriteFile(path, bytes.data(), bytes.size());
    return fuzz::CompileAndCheck(path, kDocument);
}

TEST(HostileMap, EveryTruncationRefusesOrCompilesSoundly) {
    TempFolder folder;
    const SyntheticMap map = BuildSyntheticMap({.tagCount = 3, .nodeCapacity = 32, .tailWords = 64});
    int compiled = 0;
    for (size_t length = 0; length <= map.bytes.size(); ++length) {
        const std::vector<uint8_t> cut(map.bytes.begin(), map.bytes.begin() + static_cast<long>(length));
        if (Compile(folder, cut).compiled) ++compiled;
    }
    // Cut anywhere in the tail, the map is still whole up to tag 1's data.
    EXPECT_EQ(compiled, static_cast<int>(map.bytes.size()) - map.tag1 + 1);
    std::printf("lengths tried: %zu (0 to %zu bytes), %d compiled\n", map.bytes.size() + 1, map.bytes.size(), compiled);
}

// Every field a load or a compile follows, set to values outside the file,
// negative, or wrapping when turned into an offset.
TEST(HostileMap, FieldsPointingOutsideTheFileAreRefusedClearly) {
    TempFolder folder;
    const SyntheticMap map = BuildSyntheticMap({.tagCount = 3, .nodeCapacity = 32, .tailWords = 64});
    const int64_t S = map.scenario;
    const auto length = static_cast<uint32_t>(map.bytes.size());
    const std::vector<std::pair<const char*, int64_t>> fields = {
        {"index offset", 16},
        {"tag index address", map.indexOffset},
        {"tag count", map.indexOffset + 12},
        {"scenario name address", map.tagOffset + 16},
        {"scenario data address", map.tagOffset + 20},
        {"tag 1 data address", map.tagOffset + 32 + 20},
        {"syntax data size", S + scenario::kSyntaxDataSize},
        {"syntax data address", S + scenario::kSyntaxDataAddress},
        {"string data size", S + scenario::kStringDataSize},
        {"string data address", S + scenario::kStringDataAddress},
        {"moved address", S + scenario::kMovedAddress},
    };
    const auto address = [&map](int64_t offset) { return static_cast<uint32_t>(map.Address(offset)); };
    const std::vector<uint32_t> values = {
        0, 1, length - 1, length, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFFFFF0,
        address(-1), address(length), address(length - 2), address(0x7FFFFFFF), address(-0x80000000LL),
    };
    int refused = 0;
    int cases = 0;
    for (const auto& [field, offset] : fields) {
        for (const uint32_t value : values) {
            std::vector<uint8_t> bytes = map.bytes;
            testing::PutWord(bytes, offset, value);
            const auto outcome = Compile(folder, bytes);
            ++cases;
            if (outcome.compiled) continue;
            ++refused;
            // A clear message says where: an offset, a count or a size.
            EXPECT_NE(outcome.refusal.find_first_of("0123456789"), std::string::npos)
                << field << " = " << value << ": " << outcome.refusal;
        }
    }
    std::printf("%d hostile field values, %d refused, the rest compiled soundly\n", cases, refused);
}

TEST(HostileMap, HugeTagCountsAreRefusedOrReadInBoundedTime) {
    TempFolder folder;
    // The largest count a map can have, every entry sound: it compiles.
    SyntheticMap map = BuildSyntheticMap({.tagCount = 65536, .nodeCapacity = 32, .tailWords = 65536});
    EXPECT_TRUE(Compile(folder, map.bytes).compiled);

    // Each name runs through megabytes without a zero byte. Reading every one
    // to its end took minutes; the name length bound refuses it at once.
    const int64_t names = map.tagOffset + int64_t{32} * 65536;
    std::fill(map.bytes.begin() + names, map.bytes.begin() + names + 32 * 65536, 'n');
    const auto start = std::chrono::steady_clock::now();
    const auto outcome = Compile(folder, map.bytes);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_NE(outcome.refusal.find("without an ending zero byte"), std::string::npos) << outcome.refusal;
}

// Offsets in a map are signed 32-bit: a larger file cannot be a map, and a
// compile must not make one. Sparse files keep this cheap.
TEST(HostileMap, MapsPastThirtyTwoBitOffsetsAreRefused) {
    TempFolder folder;
    const auto path = folder / "m.map";
    BuildSyntheticMap().Save(path);
    std::filesystem::resize_file(path, int64_t{1} << 31);
    HaloPcMap map;
    EXPECT_THAT([&] { map.LoadMap(path); }, ThrowsMessage<Error>(HasSubstr("a map holds at most 2147483647 bytes")));

    std::filesystem::resize_file(path, (int64_t{1} << 31) - 64);
    map.LoadMap(path);
    const auto written = std::filesystem::last_write_time(path);
    XmlDocument document;
    document.LoadXml(kDocument);
    EXPECT_THAT([&] { ScriptCompilier().BuildScriptData(map, document); },
                ThrowsMessage<Error>(HasSubstr("the compiled map would be 2147483696 bytes long")));
    EXPECT_EQ(std::filesystem::file_size(path), (uint64_t{1} << 31) - 64);
    EXPECT_EQ(std::filesystem::last_write_time(path), written);
    EXPECT_TRUE(folder.Others("m.map").empty());
}

fuzz::Outcome CompileDocument(const std::string& document) {
    TempFolder folder;
    const auto map = testing::BuildSyntheticMap({.nodeCapacity = 600});
    map.Save(folder / "m.map");
    return fuzz::CompileAndCheck(folder / "m.map", document);
}

std::string Nested(int depth) {
    std::string document = "<s><x NameAttr=\"deep\">";
    for (int i = 0; i < depth; ++i) document += "<ScriptCommand Command=\"f\" EngineId=\"1\" ValueType=\"2\">";
    for (int i = 0; i < depth; ++i) document += "</ScriptCommand>";
    return document + "</x></s>";
}

TEST(HostileDocument, NestingIsRefusedPastAFewHundredLevelsWithoutOverflowingTheStack) {
    EXPECT_THAT(CompileDocument(Nested(100000)).refusal,
                HasSubstr("XML error at line 1, column 13739: elements are nested deeper than 256 levels"));
    // Deep, but within the bound: compiles (the builder recurses once per level).
    EXPECT_TRUE(CompileDocument(Nested(250)).compiled);
}

TEST(HostileDocument, FiftyMegabyteDocumentsCompileOrAreRefusedForCapacity) {
    constexpr size_t k50MB = size_t{50} << 20;
    // One text of 50 MB: compiled, the map grows by as much.
    const std::string text = R"(<s><x NameAttr="big"><ScriptCommand Command=")" + std::string(k50MB, 't') +
                             R"(" EngineId="1" ValueType="2"/></x></s>)";
    EXPECT_TRUE(CompileDocument(text).compiled);

    // 50 MB of expressions: far more nodes than a scenario holds.
    const std::string value = R"(<ScriptValue ValueType="8" Value="1"/>)";
    std::string many = R"(<s><x NameAttr="many">)";
    many.reserve(k50MB + 64);
    while (many.size() < k50MB) many += value;
    EXPECT_THAT(CompileDocument(many + "</x></s>").refusal, HasSubstr("syntax nodes, but the scenario's syntax data holds at most 600"));
}

TEST(HostileDocument, EntityTricksAreRefused) {
    const std::string laughs = R"(<?xml version="1.0"?>
<!DOCTYPE s [<!ENTITY a "ha"><!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;"><!ENTITY c "&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;">
<!ENTITY d "&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;"><!ENTITY e "&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;">]>
<s><x NameAttr="&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;"><ScriptValue ValueType="8" Value="1"/></x></s>)";
    EXPECT_THAT(CompileDocument(laughs).refusal, HasSubstr("entity declarations are not allowed (\"a\")"));

    const std::string parameter = R"(<!DOCTYPE s [<!ENTITY % p "<!ENTITY q 'x'>"> %p;]><s/>)";
    EXPECT_THAT(CompileDocument(parameter).refusal, HasSubstr("entity declarations are not allowed"));

    // Behind an external DTD, expat drops undefined entities in attributes
    // silently: this compiled the script with an empty name.
    const std::string external = R"(<!DOCTYPE s SYSTEM "names.dtd"><s><x NameAttr="&n;"><ScriptValue/></x></s>)";
    EXPECT_THAT(CompileDocument(external).refusal, HasSubstr("external document type definitions are not allowed"));
    const std::string declared = R"(<!DOCTYPE s [<!ENTITY f SYSTEM "/etc/passwd">]><s><x NameAttr="&f;"/></s>)";
    EXPECT_THAT(CompileDocument(declared).refusal, HasSubstr("entity declarations are not allowed (\"f\")"));
}

}  // namespace
}  // namespace tarnfold::robustness
