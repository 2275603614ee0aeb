// Script bodies into node records: values by type, links between siblings and
// into arguments, and the things that must not change the result.
#include "Support.h"

#include "runtime/Xml.h"

namespace tarnfold::testing {
namespace {

using namespace std::string_literals;

std::vector<Node> NodesOf(const ScriptCompilier& build) { return Nodes(build.SyntaxBlock.Bytes()); }
std::string TextsOf(const ScriptCompilier& build) {
    return std::string(build.StrBlock.Bytes().begin(), build.StrBlock.Bytes().end());
}
// The body nodes of a one-script document: those after the four lead fillers
// and before the "begin" nodes and the closing filler.
std::vector<Node> BodyOf(const ScriptCompilier& build) {
    const auto nodes = NodesOf(build);
    return std::vector<Node>(nodes.begin() + 4, nodes.end() - 3);
}
std::string Script(std::string_view body) { return "<s><script NameAttr=\"x\">"s + std::string(body) + "</script></s>"; }

TEST(XmlBuild, CallWithConstantAndGlobalAcrossTheIdentityWrap) {
    XmlDocument document;
    document.LoadXml(Script(R"(<ScriptCommand Command="alpha" EngineId="3" ValueType="4">
        <ScriptValue ValueType="7" Value="30"/>
        <GlobalValue ValueType="11" Value="2" ValueCommand="beta"/>
      </ScriptCommand>)"));
    ScriptCompilier build;
    build.LengthIntoStrings = 40;
    // Counter -2 is index 7307 with identity 0xFFFE; index 7309 has identity 0.
    EXPECT_EQ(build.XmlBuild(document.DocumentElement().Children.at(0), -2), 2);
    EXPECT_EQ(NodesOf(build), (std::vector<Node>{
        {0xFFFE, 3,  4,  8,  kNone,                 40, Pair(7308, 0xFFFF)},
        {0xFFFF, 3,  2,  9,  Pair(7309, 0x0000),    40, 0},
        {0x0000, 7,  7,  9,  Pair(7310, 0x0001),    46, Le(0x1E, 0x00, 0xFF, 0xFF)},
        {0x0001, -1, 11, 13, kNone,                 46, Le(0x02, 0x00, 0xFF, 0xFF)},
    }));
    EXPECT_EQ(TextsOf(build), "alpha\0beta\0"s);
    EXPECT_EQ(build.LengthIntoStrings, 51);
    EXPECT_EQ(build.RealSyn, 4);
}

TEST(XmlBuild, ValueBytesAndTextsByValueType) {
    struct Case {
        std::string element;
        int engine, kind;
        uint32_t value;
        std::string text;  // stored after "begin\0"
    };
    const Case cases[] = {
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
        {R"(<GlobalValue ValueType="5" Value="true" ValueCommand="g"/>)", -1, 13, Le(0x01, 0xFF, 0xFF, 0xFF), ""},
        {R"(<GlobalValue ValueType="5" Value="7" ValueCommand="g"/>)", -1, 13, Le(0x07, 0x00, 0xFF, 0xFF), "g\0"s},
        {R"(<GlobalValue ValueType="6" Value=".5" ValueCommand="g"/>)", -1, 13, Le(0x00, 0x00, 0x00, 0x3F), ""},
        {R"(<GlobalValue ValueType="8" Value="-2" ValueCommand="g"/>)", -1, 13, Le(0xFE, 0xFF, 0xFF, 0xFF), ""},
        {R"(<GlobalValue ValueType="11" Value="70000" ValueCommand="beta"/>)", -1, 13, Le(0x70, 0x11, 0xFF, 0xFF), "beta\0"s},
        {R"(<GlobalValue ValueType="11"/>)", -1, 13, Le(0x00, 0x00, 0xFF, 0xFF), "\0"s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.element);
        const ScriptCompilier build = Build(Script(c.element));
        const Node node = BodyOf(build).at(0);
        EXPECT_EQ(node.engine, int16_t(c.engine));
        EXPECT_EQ(node.kind, c.kind);
        EXPECT_EQ(node.text, 6);
        EXPECT_EQ(node.value, c.value);
        EXPECT_EQ(TextsOf(build), "begin\0"s + c.text);
    }
}

TEST(XmlBuild, NestedCallPrecedesTheNextArgument) {
    const ScriptCompilier build = Build(Script(R"(
      <ScriptCommand Command="outer" EngineId="1" ValueType="2">
        <ScriptCommand Command="inner" EngineId="5" ValueType="6">
          <ScriptValue ValueType="8" Value="1"/>
        </ScriptCommand>
        <ScriptValue ValueType="8" Value="2"/>
      </ScriptCommand>)"));
    EXPECT_EQ(BodyOf(build), (std::vector<Node>{
        {Id(4), 1, 2, 8, kNone,  6,  Ref(5)},  // outer: call
        {Id(5), 1, 2, 9, Ref(6), 6,  0},       //        name -> first argument
        {Id(6), 5, 6, 8, Ref(9), 12, Ref(7)},  // inner: call -> next outer argument
        {Id(7), 5, 2, 9, Ref(8), 12, 0},       //        name
        {Id(8), 8, 8, 9, kNone,  18, 1},
        {Id(9), 8, 8, 9, kNone,  18, 2},
    }));
    EXPECT_EQ(build.RealSyn, 8);
}

// Layout, comments, stray text and elements that make no node change nothing:
// a command whose children make no node has no arguments.
TEST(XmlBuild, OnlyExpressionElementsCount) {
    const ScriptCompilier plain = Build(
        R"(<s><script NameAttr="a" TypeAttr="1" ReTypeAttr="4"><ScriptCommand Command="f" EngineId="3" )"
        R"(ValueType="4"><ScriptValue ValueType="7" Value="30"/><GlobalValue ValueType="11" Value="2" )"
        R"(ValueCommand="b"/></ScriptCommand><ScriptValue ValueType="5" Value="true"/><ScriptCommand Command="g" )"
        R"(EngineId="1" ValueType="2"/></script></s>)");
    const ScriptCompilier varied = Build(R"(<?xml version="1.0"?>
      <s>
        <!-- not a script -->stray text
        <script NameAttr="a" TypeAttr=" 1 " ReTypeAttr="+4">
          <ScriptCommand   Command="f"
                           EngineId="3" ValueType="4">
            <ScriptValue ValueType="7" Value="30"/>
            <!-- between arguments --><Note/>
            <GlobalValue ValueType="11" Value="2" ValueCommand="b"/>
            <!-- after the last -->
          </ScriptCommand>
          <ScriptValue ExpType="99" ValueType="5" Value="true"/>
          <ScriptCommand Command="g" EngineId="1" ValueType="2"><!-- none --><Note/>text</ScriptCommand>
        </script>
      </s>)");
    EXPECT_EQ(NodesOf(varied), NodesOf(plain));
    EXPECT_EQ(TextsOf(varied), TextsOf(plain));
    EXPECT_EQ(varied.ScriptRecords.Bytes(), plain.ScriptRecords.Bytes());
    EXPECT_EQ(varied.Warnings.size(), 2u) << "for each <Note/>";
}

TEST(XmlBuild, SecondScriptFollowsTheFirst) {
    const ScriptCompilier build = Build(R"(<s>
      <script NameAttr="first" TypeAttr="2" ReTypeAttr="8"><ScriptValue ValueType="8" Value="5"/></script>
      <other><ScriptValue ValueType="8" Value="6"/></other>
    </s>)");
    auto expected = LeadFillers(0);
    expected.insert(expected.end(), {{Id(4), 8, 8, 9, kNone, 6, 5},
                                     {Id(5), 0, 8, 8, kNone, 0, Ref(6)},
                                     {Id(6), 0, 2, 9, Ref(4), 0, 0},
                                     ClosingFiller(3, 4)});
    const auto second = LeadFillers(8);
    expected.insert(expected.end(), second.begin(), second.end());
    expected.insert(expected.end(), {{Id(12), 8, 8, 9, kNone, 6, 6},
                                     {Id(13), 0, 0, 8, kNone, 0, Ref(14)},  // no ReTypeAttr: type 0
                                     {Id(14), 0, 2, 9, Ref(12), 0, 0},
                                     ClosingFiller(6, 12)});
    EXPECT_EQ(NodesOf(build), expected);
    Bytes records = ScriptRecord("first", 2, 8, 5);
    const Bytes unnamed = ScriptRecord("", 0, 0, 13);
    records.insert(records.end(), unnamed.begin(), unnamed.end());
    EXPECT_EQ(build.ScriptRecords.Bytes(), records);
}

}  // namespace
}  // namespace tarnfold::testing
