// Whole compiles checked byte for byte: the node records and header fields
// spelled out as tables, everything else against the expected map.
#include "Support.h"

namespace tarnfold::testing {
namespace {

using namespace std::string_literals;

// One script "gamma" whose body is a call of "alpha" without arguments.
constexpr std::string_view kGamma = R"(<scripts>
  <script NameAttr="gamma" TypeAttr="1" ReTypeAttr="4">
    <ScriptCommand Command="alpha" EngineId="3" ValueType="4"/>
  </script>
</scripts>)";

const ExpectedBuild kGammaBuild{
    .nodes = {
        // identity engine type kind  next              text  value
        {0,         -1,    1,   0,    kNone,            0,    Ref(1)},  // lead fillers
        {0,         -1,    0,   1,    Ref(2),           0,    0},
        {0,         -1,    0,   1,    Ref(3),           0,    0},
        {0,         -1,    0,   1,    Ref(4),           0,    0},
        {0xE377,    3,     4,   8,    kNone,            6,    Ref(5)},  // alpha: call
        {0xE378,    3,     2,   9,    kNone,            6,    0},       //        name
        {0xE379,    0,     4,   8,    kNone,            0,    Ref(7)},  // begin: call
        {0xE37A,    0,     2,   9,    Ref(4),           0,    0},       //        name
        {0,         0,     2,   1,    Pair(3, 0xE378),  -1,   0},       // closing filler
    },
    .realSyn = 4,
    .texts = "begin\0alpha\0"s,
    .records = ScriptRecord("gamma", 1, 4, 6),
};

// examples/intro.xml: alpha(30, beta), true, 0.25.
const ExpectedBuild kIntroBuild{
    .nodes = [] {
        auto nodes = LeadFillers(0);
        nodes.insert(nodes.end(), {
            {Id(4),  3,  4,  8,  Ref(8), 6,  Ref(5)},                   // alpha: call
            {Id(5),  3,  2,  9,  Ref(6), 6,  0},                        //        name
            {Id(6),  7,  7,  9,  Ref(7), 12, Le(0x1E, 0x00, 0xFF, 0xFF)},  // 30
            {Id(7),  -1, 11, 13, kNone,  12, Le(0x02, 0x00, 0xFF, 0xFF)},  // beta
            {Id(8),  5,  5,  9,  Ref(9), 17, Le(0x01, 0xFF, 0xFF, 0xFF)},  // true
            {Id(9),  6,  6,  9,  kNone,  17, Le(0x00, 0x00, 0x80, 0x3E)},  // 0.25
            {Id(10), 0,  4,  8,  kNone,  0,  Ref(11)},                  // begin: call
            {Id(11), 0,  2,  9,  Ref(4), 0,  0},                        //        name
            ClosingFiller(8, 4),
        });
        return nodes;
    }(),
    .realSyn = 8,
    .texts = "begin\0alpha\0beta\0"s,
    .records = ScriptRecord("intro", 1, 4, 10),
};

class WorkedExample : public MapFolder {};

TEST_F(WorkedExample, NineNodesForOneCallWithoutArguments) {
    const auto map = BuildSyntheticMap();
    const auto path = Save(map);
    const CompileSummary summary = Compile(path, kGamma);
    EXPECT_EQ(summary.scripts, 1);
    EXPECT_EQ(summary.nodes, 9);
    EXPECT_EQ(summary.textBytes, 12);
    EXPECT_EQ(summary.growth, 104);

    const Bytes after = ReadFileBytes(path);
    const int64_t S = map.scenario, header = map.syntaxHeader;
    EXPECT_EQ(Nodes(Slice(after, header + 56, 9 * 20)), kGammaBuild.nodes);
    EXPECT_EQ(Slice(after, header + 46, 10), Bytes({8, 0, 4, 0, 0x7B, 0xE3, 0, 0, 0, 0})) << "8, 4, 0xE37B, 0";
    EXPECT_EQ(Slice(after, header, 46), Slice(map.bytes, header, 46)) << "header bytes 0-45 are not ours";
    EXPECT_EQ(Word(after, S + 1160), 1036u);
    EXPECT_EQ(Word(after, S + 1180), 1u);
    EXPECT_EQ(Word(after, S + 1184), uint32_t(map.Address(map.tail + 12)));
    EXPECT_EQ(Word(after, S + 1448), map.Word(S + 1448) + 104);
    EXPECT_EQ(Slice(after, map.stringData, 12), Bytes(kGammaBuild.texts.begin(), kGammaBuild.texts.end()));
    EXPECT_EQ(Slice(after, map.tail + 12, 92), kGammaBuild.records) << "records follow the reserve unpadded";
    EXPECT_TRUE(SameBytes(after, ExpectedMap(map.bytes, kGammaBuild)));
}

TEST_F(WorkedExample, DocumentWithoutScriptsStillStoresBegin) {
    const auto map = BuildSyntheticMap();
    const auto path = Save(map);
    EXPECT_EQ(Compile(path, "<scripts/>").growth, 8);

    const Bytes after = ReadFileBytes(path);
    EXPECT_EQ(Word(after, map.scenario + 1160), 1030u);
    EXPECT_EQ(Word(after, map.scenario + 1180), 0u);
    EXPECT_EQ(Slice(after, map.stringData + 1030, 2), Bytes({0xFF, 0xFF}));
    EXPECT_EQ(Slice(after, map.syntaxHeader + 46, 10), Bytes({0xFF, 0xFF, 0, 0, 0x72, 0xE3, 0, 0, 0, 0}));
    EXPECT_TRUE(SameBytes(after, ExpectedMap(map.bytes, {{}, 0, "begin\0"s, {}})));
}

// The intro example, compiled from examples/intro.xml into maps that differ
// in how their addresses and words fall.
struct Variant {
    const char* name;
    SyntheticMapOptions options;
};

class IntroExample : public MapFolder, public ::testing::WithParamInterface<Variant> {};

TEST_P(IntroExample, CompilesToTheExpectedMap) {
    const auto map = BuildSyntheticMap(GetParam().options);
    const auto path = Save(map);
    const CompileSummary summary = Compile(path, ReadText(TARNFOLD_SOURCE_DIR "/examples/intro.xml"));
    EXPECT_EQ(summary.growth, 92 + 20);

    const Bytes after = ReadFileBytes(path);
    EXPECT_EQ(Nodes(Slice(after, map.syntaxHeader + 56, 13 * 20)), kIntroBuild.nodes);
    EXPECT_EQ(Slice(after, map.stringData + 1041, 3), Bytes({0xFF, 0xFF, 0xFF}));
    EXPECT_TRUE(SameBytes(after, ExpectedMap(map.bytes, kIntroBuild)));
}

INSTANTIATE_TEST_SUITE_P(
    Maps, IntroExample,
    ::testing::Values(Variant{"Plain", {}},
                      Variant{"OtherHeaderLayout", {.headLayout = false}},
                      Variant{"HighBitMagic", {.magic = 0xC0000000u}},  // every address negative as int32
                      Variant{"PointPlusMagicWraps", {.magic = 0x7FFFF800u}},
                      Variant{"TwoTags", {.tagCount = 2, .seed = 9}},
                      Variant{"ThreeStrayBytes", {.tailRemainder = 3, .seed = 4}},
                      Variant{"ExactlyFull", {.nodeCapacity = 13, .tailWords = 7}},
                      Variant{"TwelveMegabytes", {.tailWords = 3 << 20}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tarnfold::testing
