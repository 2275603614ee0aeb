// Script bodies into node records: values by type, links between siblings and
// into arguments, and the things that must not change the result.
#include <gtest/gtest.h>

#include "ExpectedMap.h"

namespace tarnfold::testing {
namespace {

using namespace std::string_literals;

// The body nodes of a one-script build: those after the four lead fillers
// and before the "begin" nodes and the closing filler.
std::vector<Node> BodyOf(const ExpectedBuild& build) {
    return std::vector<Node>(build.nodes.begin() + 4, build.nodes.end() - 3);
}
std::string Script(std::string_view body) { return "<s><script NameAttr=\"x\">"s + std::string(body) + "</script></s>"; }

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
        {R"(<GlobalValue ValueType="5" Value="true" ValueCommand="g"/>)", -1, 13, Le(0x01, 0xFF, 0xFF, 0xFF), ""},
        {R"(<GlobalValue ValueType="5" Value="7" ValueCommand="g"/>)", -1, 13, Le(0x07, 0x00, 0xFF, 0xFF), "g\0"s},
        {R"(<GlobalValue ValueType="6" Value=".5" ValueCommand="g"/>)", -1, 13, Le(0x00, 0x00, 0x00, 0x3F), ""},
        {R"(<GlobalValue ValueType="8" Value="-2" ValueCommand="g"/>)", -1, 13, Le(0xFE, 0xFF, 0xFF, 0xFF), ""},
        {R"(<GlobalValue ValueType="11" Value="70000" ValueCommand="beta"/>)", -1, 13, Le(0x70, 0x11, 0xFF, 0xFF), "beta\0"s},
        {R"(<GlobalValue ValueType="11"/>)", -1, 13, Le(0x00, 0x00, 0xFF, 0xFF), "\0"s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.element);
        const ExpectedBuild build = Built(Script(c.element));
        const Node node = BodyOf(build).at(0);
        EXPECT_EQ(node.engine, int16_t(c.engine));
        EXPECT_EQ(node.kind, c.kind);
        EXPECT_EQ(node.text, 6);
        EXPECT_EQ(node.value, c.value);
        EXPECT_EQ(build.texts, "begin\0"s + c.text);
    }
}

TEST(Build, NestedCallPrecedesTheNextArgument) {
    const ExpectedBuild build = Built(Script(R"(
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
    EXPECT_EQ(build.realSyn, 8);
}

// Layout, comments, stray text and elements that make no node change nothing:
// a command whose children make no node has no arguments.
TEST(Build, OnlyExpressionElementsCount) {
    const ExpectedBuild plain = Built(
        R"(<s><script NameAttr="a" TypeAttr="1" ReTypeAttr="4"><ScriptCommand Command="f" EngineId="3" )"
        R"(ValueType="4"><ScriptValue ValueType="7" Value="30"/><GlobalValue ValueType="11" Value="2" )"
        R"(ValueCommand="b"/></ScriptCommand><ScriptValue ValueType="5" Value="true"/><ScriptCommand Command="g" )"
        R"(EngineId="1" ValueType="2"/></script></s>)");
    const ExpectedBuild varied = Built(R"(<?xml version="1.0"?>
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
    EXPECT_EQ(varied.nodes, plain.nodes);
    EXPECT_EQ(varied.texts, plain.texts);
    EXPECT_EQ(varied.records, plain.records);
}

TEST(Build, SecondScriptFollowsTheFirst) {
    const ExpectedBuild build = Built(R"(<s>
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
    EXPECT_EQ(build.nodes, expected);
    Bytes records = ScriptRecord("first", 2, 8, 5);
    const Bytes unnamed = ScriptRecord("", 0, 0, 13);
    records.insert(records.end(), unnamed.begin(), unnamed.end());
    EXPECT_EQ(build.records, records);
}

}  // namespace
}  // namespace tarnfold::testing
