// Whole missions: scenario globals and calls of static scripts, node by node;
// the same mission as a document; read back both ways; and maps whose
// scripts the official kit compiled, read back and compiled into.
#include <gmock/gmock.h>

#include "ExpectedMap.h"
#include "compiler/Internal.h"
#include "runtime/Error.h"

namespace tarnfold::testing {
namespace {

using namespace std::string_literals;
using ::testing::HasSubstr;

constexpr const char* kMission = R"((global short n 0)
(global boolean done false)
(global real pace 0.5)
(script static short next (set n (+ n 1)) n)
(script dormant d (sleep (next)) (sleep_until done)))";

Bytes GlobalRecord(std::string_view name, int type, int initial) {
    Bytes record(92, 0);
    std::copy(name.begin(), name.end(), record.begin());
    PutHalf(record, 32, type);
    PutWord(record, 40, Ref(initial));
    return record;
}

ExpectedBuild MissionBuild() {
    constexpr uint32_t kShort0 = Le(0x00, 0x00, 0xFF, 0xFF), kShort1 = Le(0x01, 0x00, 0xFF, 0xFF);
    std::vector<Node> nodes = {
        // identity engine type kind  next     text  value
        {Id(0), 7, 7, 9, kNone, 6, kShort0},                     // n: 0
        {Id(1), 5, 5, 9, kNone, 6, Le(0x00, 0xFF, 0xFF, 0xFF)},  // done: false
        {Id(2), 6, 6, 9, kNone, 6, Le(0x00, 0x00, 0x00, 0x3F)},  // pace: 0.5
    };
    const auto add = [&](std::vector<Node> more) { nodes.insert(nodes.end(), more.begin(), more.end()); };
    add(LeadFillers(3));
    add({
        {Id(7), 4, 7, 8, Ref(14), 6, Ref(8)},       // (set      : typed short, the global's type
        {Id(8), 4, 2, 9, Ref(9), 6, 0},             //
        {Id(9), -1, 7, 13, Ref(10), 10, kShort0},   //   n       : global 0, found by its name
        {Id(10), 7, 7, 8, kNone, 12, Ref(11)},      //   (+      : typed by its place, short
        {Id(11), 7, 2, 9, Ref(12), 12, 0},          //
        {Id(12), -1, 7, 13, Ref(13), 14, kShort0},  //     n
        {Id(13), 6, 6, 9, kNone, 16, Le(0x00, 0x00, 0x80, 0x3F)},  // 1.0
        {Id(14), -1, 7, 13, kNone, 16, kShort0},                   // n: the value
        {Id(15), 0, 7, 8, kNone, 0, Ref(16)},                      // begin
        {Id(16), 0, 2, 9, Ref(7), 0, 0},
        ClosingFiller(13, 7),
    });
    add(LeadFillers(18));
    add({
        {Id(22), 19, 4, 8, Ref(26), 18, Ref(23)},  // (sleep
        {Id(23), 19, 2, 9, Ref(24), 18, 0},
        {Id(24), 0, 7, 10, kNone, 24, Ref(25)},  //   (next)  : script 0, typed short by sleep
        {Id(25), 0, 2, 9, kNone, 24, 0},
        {Id(26), 20, 4, 8, kNone, 29, Ref(27)},  // (sleep_until
        {Id(27), 20, 2, 9, Ref(28), 29, 0},
        {Id(28), -1, 5, 13, kNone, 41, kShort1},  //   done    : global 1
        {Id(29), 0, 4, 8, kNone, 0, Ref(30)},     // begin
        {Id(30), 0, 2, 9, Ref(22), 0, 0},
        ClosingFiller(22, 22),
    });
    Bytes records = ScriptRecord("next", 3, 7, 15), d = ScriptRecord("d", 1, 4, 29), globals;
    records.insert(records.end(), d.begin(), d.end());
    for (const Bytes& g : {GlobalRecord("n", 7, 0), GlobalRecord("done", 5, 1), GlobalRecord("pace", 6, 2)})
        globals.insert(globals.end(), g.begin(), g.end());
    return {nodes, 22, "begin\0set\0n\0+\0n\0n\0sleep\0next\0sleep_until\0done\0"s, records, globals};
}

// The mission as HSC and as the document it translates into: the same
// bytes, node by node, and the globals block after the script records.
TEST(Mission, CompilesNodeByNodeFromHscAndFromItsDocument) {
    const SyntheticMap map = BuildSyntheticMap({.nodeCapacity = 19001});
    const ExpectedBuild build = MissionBuild();
    const Bytes expected = ExpectedMap(map.bytes, build);
    TempFolder temp;
    CompileHsc(Saved(map, temp), kMission, "m.hsc");
    const Bytes fromHsc = ReadFileBytes(temp / "m.map");
    EXPECT_EQ(Nodes(Slice(fromHsc, map.syntaxHeader + 56, 20 * 32)), build.nodes);
    EXPECT_EQ(Word(fromHsc, map.scenario + 1192), 3u);
    EXPECT_EQ(Word(fromHsc, map.scenario + 1196), uint32_t(map.Address(map.stringData + 1024 + 48 + 2 * 92)));
    EXPECT_EQ(Difference(fromHsc, expected), "");

    const std::string document = TranslateHsc(kMission, "m.hsc", Engine::Custom);
    EXPECT_THAT(document, HasSubstr("<ScriptCall Script=\"next\" ValueType=\"7\"/>"));
    CompileDocument(Saved(map, temp), document);
    EXPECT_EQ(Difference(ReadFileBytes(temp / "m.map"), expected), "");
}

// A mission's map read back as a document and as HSC compiles to the same
// bytes, and a recompile replaces its scripts and globals together.
TEST(Mission, ReadsBackBothWaysAndRecompiles) {
    const SyntheticMap map = BuildSyntheticMap({.nodeCapacity = 19001});
    TempFolder temp;
    const auto path = Saved(map, temp);
    CompileHsc(path, kMission, "m.hsc");
    const Bytes compiled = ReadFileBytes(path);
    const std::string hsc = ReadScriptsAsHsc(path, std::nullopt);
    EXPECT_THAT(hsc, HasSubstr("(global boolean done false)\n(global real pace 0.5)\n\n(script static short "
                               "next\n    (set n (+ n 1.0))\n    n)"));
    CompileHsc(path, hsc, "read.hsc");
    EXPECT_EQ(Difference(ReadFileBytes(path), compiled), "");
    CompileDocument(path, ReadScripts(path));
    EXPECT_EQ(Difference(ReadFileBytes(path), compiled), "");

    const std::string fewer = "(script startup s (sleep 1))";
    CompileHsc(path, fewer, "s.hsc");
    EXPECT_EQ(Difference(ReadFileBytes(path),
                         ExpectedMap(compiled, Built(TranslateHsc(fewer, "s.hsc", Engine::Custom)))),
              "");
    EXPECT_EQ(Word(ReadFileBytes(path), map.scenario + 1192), 0u) << "no globals left";
}

// A map laid out as the kit lays it out: read back by what its nodes mean,
// refused without --replace-foreign, then compiled into, after which it is
// a Tarnfold map that the next compile recompiles.
TEST(Mission, KitCompiledMapsAreReadAndReplacedOnlyWhenAsked) {
    SyntheticLevel level;
    level.cutsceneFlags = {"landing"};
    const SyntheticMap map = BuildSyntheticMap({.level = level, .kit = {{"first", "second"}, {"g"}}});
    TempFolder temp;
    const auto path = Saved(map, temp);
    EXPECT_EQ(ReadScriptsAsHsc(path, std::nullopt),
              "(global short g 0)\n\n(script dormant first\n    (sleep 30))\n\n(script dormant second\n    "
              "(sleep 30))\n");
    EXPECT_EQ(DescribeMap(path).globalList.size(), 1u);
    EXPECT_TRUE(CheckMap(path).loads);

    const std::string source = "(script startup s (sleep 5))";
    EXPECT_THAT([&] { CompileHsc(path, source, "s.hsc"); },
                ::testing::ThrowsMessage<Error>(
                    HasSubstr("holds 2 scripts and 1 globals that another tool compiled")));
    EXPECT_EQ(Difference(ReadFileBytes(path), map.bytes), "");

    CompileOptions replace;
    replace.replaceForeign = true;
    const CompileSummary summary = CompileHsc(path, source, "s.hsc", replace);
    EXPECT_EQ(summary.replaced, "2 scripts and 1 globals that another tool compiled");
    const Bytes replaced = ReadFileBytes(path);
    EXPECT_EQ(
        Difference(replaced, ExpectedMap(map.bytes, Built(TranslateHsc(source, "s.hsc", Engine::Custom)))),
        "");
    // The cutscene flags lay after the string data: their address moved.
    EXPECT_EQ(Word(replaced, map.scenario + 1256), map.Word(map.scenario + 1256) + uint32_t(summary.growth));
    EXPECT_TRUE(CompileHsc(path, source, "s.hsc").recompiled);
    EXPECT_EQ(Difference(ReadFileBytes(path), replaced), "");
}

}  // namespace
}  // namespace tarnfold::testing
