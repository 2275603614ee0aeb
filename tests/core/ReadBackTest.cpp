// Reading a map's scripts back: the document compiles to the same bytes, the
// reals print back to the same bits, and node arrays no compile makes are
// refused with the script and node named.
#include <gtest/gtest.h>

#include <bit>
#include <random>

#include "SyntheticMap.h"
#include "TestSupport.h"
#include "compiler/Tarnfold.h"
#include "runtime/Error.h"
#include "runtime/Numbers.h"

namespace tarnfold::testing {
namespace {

const SyntheticMapOptions kRoomy{.nodeCapacity = 400};

// Every node kind, value type and value form a compile makes, and what a
// document may vary without changing the bytes (keyword case, number forms,
// omitted attributes, comments, unknown elements, ValueTypes past 16 bits).
const char* const kDocuments[] = {
    R"(<scripts>
  <!-- not a script -->
  <script NameAttr=" spaced ✓ name " TypeAttr="70000" ReTypeAttr="-3">
    <ScriptCommand Command="outer" EngineId="65535" ValueType="4">
      <ScriptCommand Command="  in&#9;ner&#10;&#13;  " EngineId="-2" ValueType="70001">
        <ScriptValue ValueType="7" Value="70000"/>
        <Note/>
        <ScriptValue ValueType="5" Value=" TRUE "/>
        <ScriptCommand Command="" EngineId="0" ValueType="0"/>
      </ScriptCommand>
      <ScriptValue ValueType="5" Value="False"/>
      <ScriptValue ValueType="5" Value="maybe"/>
      <ScriptValue ValueType="5" Value=""/>
    </ScriptCommand>
    <ScriptValue ValueType="6" Value="0.25"/>
    <ScriptValue ValueType="6" Value="-0"/>
    <ScriptValue ValueType="6" Value="1e-45"/>
    <ScriptValue ValueType="6" Value="-1.5e-40"/>
    <ScriptValue ValueType="6" Value="1.17549435e-38"/>
    <ScriptValue ValueType="6" Value="3.4028235e38"/>
    <ScriptValue ValueType="6" Value="0.1"/>
    <ScriptValue ValueType="6" Value="16777217"/>
    <ScriptValue ValueType="7" Value="-1"/>
    <ScriptValue ValueType="7" Value="+12"/>
    <ScriptValue ValueType="8" Value="-2147483648"/>
    <ScriptValue ValueType="8" Value="007"/>
    <ScriptValue ValueType="0" Value="a &amp; b"/>
    <ScriptValue ValueType="11" Value="  spaced  "/>
    <ScriptValue ValueType="3" Value="tab&#9;lf&#10;cr&#13;"/>
    <ScriptValue ValueType="4" Value="&lt;&gt;&quot;'"/>
    <ScriptValue ValueType="9" Value="héllo ✓ 𝄞"/>
    <ScriptValue ValueType="70000" Value="wrapped type"/>
    <ScriptValue ValueType="65541" Value="true"/>
    <ScriptValue ValueType="-65530" Value="x"/>
  </script>
  <script NameAttr="globals">
    <GlobalValue ValueType="5" Value="true" ValueCommand="dropped"/>
    <GlobalValue ValueType="5" Value="FALSE"/>
    <GlobalValue ValueType="5" Value="7" ValueCommand="g5"/>
    <GlobalValue ValueType="5" Value=""/>
    <GlobalValue ValueType="6" Value="1.5" ValueCommand="dropped"/>
    <GlobalValue ValueType="7" Value="70000"/>
    <GlobalValue ValueType="8" Value="-5"/>
    <GlobalValue ValueType="11" Value="2" ValueCommand="beta"/>
    <GlobalValue ValueType="12" Value="-70000" ValueCommand=" sp &amp; "/>
    <GlobalValue ValueType="65543" Value="3" ValueCommand="w"/>
  </script>
  <script><ScriptValue ValueType="8" Value="1"/></script>
</scripts>)",
    "<scripts/>",
};

TEST(ReadBack, ScriptsCompileToTheBytesTheyWereReadFrom) {
    TempFolder temp;
    const SyntheticMap original = BuildSyntheticMap(kRoomy);
    original.Save(temp / "empty.map");
    EXPECT_EQ(ReadScripts(temp / "empty.map"), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<scripts/>\n");

    for (const char* document : kDocuments) {
        SCOPED_TRACE(document);
        original.Save(temp / "a.map");
        CompileDocument(temp / "a.map", document);
        const Bytes compiled = ReadFileBytes(temp / "a.map");
        const std::string read = ReadScripts(temp / "a.map");

        CompileDocument(temp / "a.map", read);
        EXPECT_EQ(Difference(ReadFileBytes(temp / "a.map"), compiled), "") << read;
        original.Save(temp / "b.map");
        CompileDocument(temp / "b.map", read);
        EXPECT_EQ(Difference(ReadFileBytes(temp / "b.map"), compiled), "") << read;
        EXPECT_EQ(ReadScripts(temp / "b.map"), read);
    }
}

TEST(ReadBack, RealsPrintBackToTheSameBits) {
    std::mt19937 random(7);
    // Of all finite floats only these two have a shortest text that rounds
    // twice, through a double, to a neighbour.
    std::vector<uint32_t> patterns = {0x15AE43FDu, 0x95AE43FDu};
    for (uint32_t exponent = 0; exponent < 255; ++exponent)  // 0: zeros and denormals
        for (uint32_t mantissa : {0u, 1u, 0x2AAAABu, 0x400000u, 0x7FFFFFu, 0x12345u})
            for (uint32_t sign : {0u, 0x80000000u}) patterns.push_back(sign | exponent << 23 | mantissa);
    for (int i = 0; i < 200000; ++i)
        if (const uint32_t bits = random(); (bits & 0x7F800000u) != 0x7F800000u) patterns.push_back(bits);

    for (const uint32_t bits : patterns) {
        const std::string text = FormatReal(std::bit_cast<float>(bits));
        const auto back = ParseReal(text);
        ASSERT_TRUE(back) << text;
        ASSERT_EQ(std::bit_cast<uint32_t>(*back), bits) << text;
    }
}

TEST(ReadBack, NodesNoCompileMakesAreRefusedNamingScriptAndNode) {
    // Nodes: 0-3 fillers, 4 call "c", 5 its name node, 6 the constant,
    // 7 and 8 "begin", 9 the closing filler.
    constexpr const char* kDocument = R"(<scripts><script NameAttr="h">
      <ScriptCommand Command="c" EngineId="1" ValueType="2"><ScriptValue ValueType="0" Value="t"/></ScriptCommand>
    </script></scripts>)";
    const struct {
        int node;
        int field;  // offset in the node record
        uint32_t word;
        const char* why;
    } cases[] = {
        {6, 8, 4 | 0xE377u << 16, "node 6: its link names node 4, which is reached twice"},
        {5, 8, 50 | 0xE3A5u << 16, "node 5: its link names node 50, outside the 10 nodes in use"},
        {8, 8, 4 | 0xE378u << 16, "node 8: its link to node 4 carries identity 0xE378"},
        {6, 4, 10 | 11u << 16, "node 6: a node of kind 11 is none of"},
        {4, 12, 100000, "node 4: its text offset 100000 lies outside the string data"},
        {6, 16, 1, "node 6: a constant of value type 0 with value bytes 01 00 00 00"},
        {-1, 6, 0xFF, "node 4: its text: "},  // "c" as a byte that is no UTF-8
    };
    TempFolder temp;
    const SyntheticMap original = BuildSyntheticMap(kRoomy);
    original.Save(temp / "a.map");
    CompileDocument(temp / "a.map", kDocument);
    const Bytes compiled = ReadFileBytes(temp / "a.map");
    for (const auto& c : cases) {
        Bytes hostile = compiled;
        const int64_t at = c.node < 0 ? original.stringData : original.syntaxHeader + 56 + 20 * c.node;
        PutWord(hostile, at + c.field, c.word);
        WriteFile(temp / "h.map", hostile);
        try {
            ReadScripts(temp / "h.map");
            ADD_FAILURE() << c.why;
        } catch (const Error& error) {
            EXPECT_NE(std::string(error.what()).find(std::string("script record 1 of 1 (\"h\"), ") + c.why),
                      std::string::npos)
                << error.what();
        }
    }
}

}  // namespace
}  // namespace tarnfold::testing
