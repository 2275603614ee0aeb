// Compiling into a map Tarnfold compiled: the scripts are replaced, the rest
// of the map moves by the difference (back when the map shrinks), and the
// map is that of the new document compiled into the map as it was first.
#include <gtest/gtest.h>

#include "ExpectedMap.h"
#include "compiler/SyntaxLayout.h"
#include "compiler/Tarnfold.h"

namespace tarnfold::testing {
namespace {

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
        if (int32_t(map.Word(at)) >= map.Address(map.Length()) && int32_t(map.Word(at)) < map.Address(map.Length() + 8))
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
        const auto slot = [&](size_t node) { return expected.begin() + map.syntaxHeader + syntax::kHeaderSize + 20 * node; };
        const size_t nodes = Built(c.second).nodes.size(), stale = std::max(nodes, Built(c.first).nodes.size());
        std::fill(slot(nodes), slot(stale), 0);
        EXPECT_EQ(Difference(second, expected), "");
    }
}

TEST(Recompile, DryRunWritesNothingAndReportsTheCompile) {
    TempFolder temp;
    const auto path = Saved(BuildSyntheticMap(), temp);
    CompileDocument(path, Intro());
    const Bytes before = ReadFileBytes(path);
    const CompileSummary dry = CompileDocument(path, Long(3000), {.dryRun = true, .hooks = {}});
    EXPECT_TRUE(dry.dryRun && dry.recompiled);
    EXPECT_EQ(Difference(ReadFileBytes(path), before), "");
    EXPECT_EQ(temp.Others(), std::vector<std::string>{"m.map"});
    const CompileSummary real = CompileDocument(path, Long(3000));
    EXPECT_EQ(std::tie(dry.scripts, dry.nodes, dry.textBytes, dry.growth, dry.relocatedWords),
              std::tie(real.scripts, real.nodes, real.textBytes, real.growth, real.relocatedWords));
}

}  // namespace
}  // namespace tarnfold::testing
