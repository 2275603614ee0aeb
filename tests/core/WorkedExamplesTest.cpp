// Documents into node records, texts and script records, and whole compiles
// checked byte for byte: the records spelled out as tables, every other byte
// against the expected map.
#include <gtest/gtest.h>

#include "ExpectedMap.h"
#include "compiler/Tarnfold.h"

namespace tarnfold::testing {
namespace {

using namespace std::string_literals;
using namespace layout;

std::string Script(std::string_view body) {
    return "<s><script NameAttr=\"x\">"s + std::string(body) + "</script></s>";
}

TEST(Build, ValueBytesAndTextsByValueType) {
    const struct {
        std::string element;
        int engine, kind;
        uint32_t value;
        std::string text;  // stored after "begin\0"
    } cases[] = {
        {R"(<ScriptValue ValueType="6" Value="2.5"/>)", 6, 9, Le(0x00, 0x00, 0x20, 0x40), ""},
        {R"(<ScriptValue ValueType="7" Value="300"/>)", 7, 9, Le(0x2C, 0x01, 0xFF, 0xFF), ""},
        {R"(<ScriptValue ValueType="7" Value="70000"/>)", 7, 9, Le(0x70, 0x11, 0xFF, 0xFF), ""},
        {R"(<ScriptValue ValueType="8" Value="-1"/>)", 8, 9, Le(0xFF, 0xFF, 0xFF, 0xFF), ""},
        {R"(<ScriptValue ValueType="5" Value=" TRUE "/>)", 5, 9, Le(0x01, 0xFF, 0xFF, 0xFF), ""},
        {R"(<ScriptValue ValueType="5" Value="False"/>)", 5, 9, Le(0x00, 0xFF, 0xFF, 0xFF), ""},
        {R"(<ScriptValue ValueType="5" Value="maybe"/>)", 5, 9, Le(0x00, 0x00, 0xFF, 0xFF), "maybe\0"s},
        {R"(<ScriptValue ValueType="0" Value="a &amp; b"/>)", 0, 9, 0, "a & b\0"s},
        {R"(<ScriptValue ValueType="70000" Value="x"/>)", 0x1170, 9, 0, "x\0"s},
        {R"(<ScriptValue/>)", 0, 9, 0, "\0"s},
        // A global keeps its name whatever its type: the game finds it by name.
        {R"(<GlobalValue ValueType="5" Value="true" ValueCommand="g"/>)", -1, 13, Le(0x01, 0xFF, 0xFF, 0xFF),
         "g\0"s},
        {R"(<GlobalValue ValueType="5" Value="7" ValueCommand="g"/>)", -1, 13, Le(0x07, 0x00, 0xFF, 0xFF),
         "g\0"s},
        {R"(<GlobalValue ValueType="6" Value=".5" ValueCommand="g"/>)", -1, 13, Le(0x00, 0x00, 0x00, 0x3F),
         "g\0"s},
        {R"(<GlobalValue ValueType="8" Value="-2" ValueCommand="g"/>)", -1, 13, Le(0xFE, 0xFF, 0xFF, 0xFF),
         "g\0"s},
        {R"(<GlobalValue ValueType="11" Value="70000" ValueCommand="beta"/>)", -1, 13,
         Le(0x70, 0x11, 0xFF, 0xFF), "beta\0"s},
        {R"(<GlobalValue ValueType="11"/>)", -1, 13, Le(0x00, 0x00, 0xFF, 0xFF), "\0"s},
    };
    for (const auto& c : cases) {
        const ExpectedBuild build = Built(Script(c.element));
        const Node node = build.nodes.at(4);
        EXPECT_EQ(std::make_tuple(node.engine, node.kind, node.text, node.value),
                  std::make_tuple(c.engine, c.kind, 6, c.value))
            << c.element;
        EXPECT_EQ(build.texts, "begin\0"s + c.text) << c.element;
    }
}

TEST(Build, NestedCallPrecedesTheNextArgument) {
    const ExpectedBuild build = Built(Script(R"(
      <ScriptCommand Command="outer" EngineId="1" ValueType="2">
        <ScriptCommand Command="inner" EngineId="5" ValueType="6"><ScriptValue ValueType="8" Value="1"/></ScriptCommand>
        <ScriptValue ValueType="8" Value="2"/>
      </ScriptCommand>)"));
    EXPECT_EQ(std::vector<Node>(build.nodes.begin() + 4, build.nodes.end() - 3),
              (std::vector<Node>{
                  {Id(4), 1, 2, 8, kNone, 6, Ref(5)},    // outer: call
                  {Id(5), 1, 2, 9, Ref(6), 6, 0},        //        name -> first argument
                  {Id(6), 5, 6, 8, Ref(9), 12, Ref(7)},  // inner: call -> next outer argument
                  {Id(7), 5, 2, 9, Ref(8), 12, 0},       //        name
                  {Id(8), 8, 8, 9, kNone, 18, 1},
                  {Id(9), 8, 8, 9, kNone, 18, 2},
              }));
    EXPECT_EQ(build.realSyn, 8);
}

// Layout, comments, stray text, attribute spaces and signs, and elements that
// make no node change nothing.
TEST(Build, OnlyExpressionElementsCount) {
    std::string varied = Intro();
    for (const char* at : {"<ScriptValue ValueType=\"7\"", "<GlobalValue", "</ScriptCommand>", "</script>"})
        varied.insert(varied.find(at), "<!-- c --><Note/>stray text\n   ");
    varied.replace(varied.find("TypeAttr=\"1\""), 12, "TypeAttr=\" 1 \"");
    varied.replace(varied.find("ReTypeAttr=\"4\""), 14, "ReTypeAttr=\"+4\" ExpType=\"99\"");
    const ExpectedBuild plain = Built(Intro()), build = Built(varied);
    EXPECT_EQ(std::tie(build.nodes, build.texts, build.records),
              std::tie(plain.nodes, plain.texts, plain.records));
}

TEST(Build, SecondScriptFollowsTheFirst) {
    const ExpectedBuild build = Built(R"(<s>
      <script NameAttr="first" TypeAttr="2" ReTypeAttr="8"><ScriptValue ValueType="8" Value="5"/></script>
      <other><ScriptValue ValueType="8" Value="6"/></other>
    </s>)");
    auto expected = LeadFillers(0), second = LeadFillers(8);
    expected.insert(expected.end(), {{Id(4), 8, 8, 9, kNone, 6, 5},
                                     {Id(5), 0, 8, 8, kNone, 0, Ref(6)},
                                     {Id(6), 0, 2, 9, Ref(4), 0, 0},
                                     ClosingFiller(3, 4)});
    expected.insert(expected.end(), second.begin(), second.end());
    expected.insert(expected.end(), {{Id(12), 8, 8, 9, kNone, 6, 6},
                                     {Id(13), 0, 0, 8, kNone, 0, Ref(14)},  // no ReTypeAttr: type 0
                                     {Id(14), 0, 2, 9, Ref(12), 0, 0},
                                     ClosingFiller(6, 12)});
    EXPECT_EQ(build.nodes, expected);
    Bytes records = ScriptRecord("first", 2, 8, 5), unnamed = ScriptRecord("", 0, 0, 13);
    records.insert(records.end(), unnamed.begin(), unnamed.end());
    EXPECT_EQ(build.records, records);
}

// One script "gamma" whose body is a call of "alpha" without arguments.
constexpr std::string_view kGamma = R"(<scripts>
  <script NameAttr="gamma" TypeAttr="1" ReTypeAttr="4">
    <ScriptCommand Command="alpha" EngineId="3" ValueType="4"/>
  </script>
</scripts>)";

const ExpectedBuild kGammaBuild{
    .nodes =
        {
            // identity engine type kind  next              text  value
            {0, -1, 1, 0, kNone, 0, Ref(1)},  // lead fillers
            {0, -1, 0, 1, Ref(2), 0, 0},
            {0, -1, 0, 1, Ref(3), 0, 0},
            {0, -1, 0, 1, Ref(4), 0, 0},
            {0xE377, 3, 4, 8, kNone, 6, Ref(5)},   // alpha: call
            {0xE378, 3, 2, 9, kNone, 6, 0},        //        name
            {0xE379, 0, 4, 8, kNone, 0, Ref(7)},   // begin: call
            {0xE37A, 0, 2, 9, Ref(4), 0, 0},       //        name
            {0, 0, 2, 1, Pair(3, 0xE378), -1, 0},  // closing filler
        },
    .realSyn = 4,
    .texts = "begin\0alpha\0"s,
    .records = ScriptRecord("gamma", 1, 4, 6),
};

// examples/intro.xml: alpha(30, beta), true, 0.25.
const ExpectedBuild kIntroBuild{
    .nodes =
        [] {
            auto nodes = LeadFillers(0);
            nodes.insert(nodes.end(), {
                                          {Id(4), 3, 4, 8, Ref(8), 6, Ref(5)},  // alpha: call
                                          {Id(5), 3, 2, 9, Ref(6), 6, 0},       //        name
                                          {Id(6), 7, 7, 9, Ref(7), 12, Le(0x1E, 0x00, 0xFF, 0xFF)},    // 30
                                          {Id(7), -1, 11, 13, kNone, 12, Le(0x02, 0x00, 0xFF, 0xFF)},  // beta
                                          {Id(8), 5, 5, 9, Ref(9), 17, Le(0x01, 0xFF, 0xFF, 0xFF)},    // true
                                          {Id(9), 6, 6, 9, kNone, 17, Le(0x00, 0x00, 0x80, 0x3E)},     // 0.25
                                          {Id(10), 0, 4, 8, kNone, 0, Ref(11)},  // begin: call
                                          {Id(11), 0, 2, 9, Ref(4), 0, 0},       //        name
                                          ClosingFiller(8, 4),
                                      });
            return nodes;
        }(),
    .realSyn = 8,
    .texts = "begin\0alpha\0beta\0"s,
    .records = ScriptRecord("intro", 1, 4, 10),
};

TEST(WorkedExample, NineNodesForOneCallWithoutArguments) {
    TempFolder temp, empty;
    const auto map = BuildSyntheticMap();
    const CompileSummary summary = CompileDocument(Saved(map, temp), kGamma);
    EXPECT_EQ(std::tie(summary.scripts, summary.nodes, summary.textBytes, summary.growth),
              std::make_tuple(1, 9, 12, 104));

    const Bytes after = ReadFileBytes(temp / "m.map");
    const int64_t S = map.scenario, header = map.syntaxHeader;
    EXPECT_EQ(Nodes(Slice(after, header + kHeaderSize, 9 * 20)), kGammaBuild.nodes);
    EXPECT_EQ(Slice(after, header + kLastIndex, 10), Bytes({8, 0, 4, 0, 0x7B, 0xE3, 0, 0, 0, 0}))
        << "8, 4, 0xE37B, 0";
    EXPECT_EQ(Slice(after, header, kLastIndex), Slice(map.bytes, header, kLastIndex)) << "not ours";
    EXPECT_EQ(Word(after, S + kStringDataSize), 1036u);
    EXPECT_EQ(Word(after, S + kScriptCount), 1u);
    EXPECT_EQ(Word(after, S + kScriptsAddress), uint32_t(map.Address(map.tail + 12)));
    EXPECT_EQ(Word(after, S + kMovedAddress), map.Word(S + kMovedAddress) + 104);
    EXPECT_EQ(Slice(after, map.stringData, 12), Bytes(kGammaBuild.texts.begin(), kGammaBuild.texts.end()));
    EXPECT_EQ(Slice(after, map.tail + 12, 92), kGammaBuild.records) << "records follow the reserve unpadded";
    EXPECT_EQ(Difference(after, ExpectedMap(map.bytes, kGammaBuild)), "");

    // A document without scripts still stores "begin".
    EXPECT_EQ(CompileDocument(Saved(map, empty), "<scripts/>").growth, 8);
    const Bytes none = ReadFileBytes(empty / "m.map");
    EXPECT_EQ(Slice(none, header + kLastIndex, 10), Bytes({0xFF, 0xFF, 0, 0, 0x72, 0xE3, 0, 0, 0, 0}));
    EXPECT_EQ(Difference(none, ExpectedMap(map.bytes, {{}, 0, "begin\0"s, {}})), "");
}

// The intro example into maps that differ in how their addresses and words fall.
TEST(WorkedExample, IntroIntoMapsOfEveryShape) {
    const SyntheticMapOptions shapes[] = {
        {},
        {.headLayout = false},
        {.magic = 0xC0000000u},  // every address negative as int32
        {.magic = 0x7FF00000u},  // addresses near 0x7FFFFFFF
        {.tagCount = 2, .seed = 9},
        {.tailRemainder = 3, .seed = 4},
        {.nodeCapacity = 13, .tailWords = 7},                       // exactly full
        {.tailWords = 3 << 20, .tailRemainder = 3, .tag1Skew = 2},  // 12 MiB scanned off the file's word grid
    };
    for (const auto& shape : shapes) {
        SCOPED_TRACE(&shape - shapes);
        TempFolder temp;
        const auto map = BuildSyntheticMap(shape);
        EXPECT_EQ(CompileDocument(Saved(map, temp), Intro()).growth, 92 + 20);
        const Bytes after = ReadFileBytes(temp / "m.map");
        EXPECT_EQ(Nodes(Slice(after, map.syntaxHeader + kHeaderSize, 13 * 20)), kIntroBuild.nodes);
        EXPECT_EQ(Slice(after, map.stringData + 1041, 3), Bytes({0xFF, 0xFF, 0xFF}));
        EXPECT_EQ(Difference(after, ExpectedMap(map.bytes, kIntroBuild)), "");
    }
}

// Identities run on at 0x8000 past index 7308 (0xFFFF), in the nodes, the
// links, the script record and the header; none becomes 0, the free mark.
TEST(WorkedExample, IdentitiesPastIndex7308) {
    constexpr int kValues = 7310, kBegin = 4 + kValues;
    std::string document = "<s><script NameAttr=\"big\">";
    ExpectedBuild build{LeadFillers(0), kValues + 2, "begin\0"s, ScriptRecord("big", 0, 0, kBegin)};
    for (int i = 4; i < kBegin; ++i) {
        document += R"(<ScriptValue ValueType="8" Value="1"/>)";
        build.nodes.push_back({Id(i), 8, 8, 9, i + 1 < kBegin ? Ref(i + 1) : kNone, 6, 1});
    }
    build.nodes.insert(build.nodes.end(), {{Id(kBegin), 0, 0, 8, kNone, 0, Ref(kBegin + 1)},
                                           {Id(kBegin + 1), 0, 2, 9, Ref(4), 0, 0},
                                           ClosingFiller(kValues + 2, 4)});
    TempFolder temp;
    const auto map = BuildSyntheticMap({.nodeCapacity = 7400});
    CompileDocument(Saved(map, temp), document + "</script></s>");
    const Bytes after = ReadFileBytes(temp / "m.map");
    EXPECT_EQ(Nodes(Slice(after, map.syntaxHeader + kHeaderSize + 20 * 7308, 40)),
              (std::vector<Node>{{0xFFFF, 8, 8, 9, Pair(7309, 0x8000), 6, 1},
                                 {0x8000, 8, 8, 9, Pair(7310, 0x8001), 6, 1}}));
    EXPECT_EQ(Difference(after, ExpectedMap(map.bytes, build)), "");
}

}  // namespace
}  // namespace tarnfold::testing
