// Where the scenario keeps its script data, how a compile lays it out, and
// which maps hold scripts a compile can replace.
#include <gtest/gtest.h>

#include "ExpectedMap.h"
#include "compiler/Tarnfold.h"
#include "map/HaloPcMap.h"
#include "runtime/BinaryFile.h"
#include "scenario/ScriptData.h"

namespace tarnfold::testing {
namespace {

ScriptData ReadData(const std::filesystem::path& path) {
    BinaryFile file(path);
    HaloPcMap map;
    map.LoadMap(file);
    return ScriptData::Read(map, file);
}

TEST(ScriptData, FieldsAreReadFromTheScenario) {
    SyntheticMap map = BuildSyntheticMap({.nodeCapacity = 10});
    map.SetWord(map.scenario + 1180, 3);
    map.SetWord(map.scenario + 1184, uint32_t(map.Address(map.tail + 8)));
    map.SetWord(map.scenario + 1192, 2);
    map.SetWord(map.scenario + 1196, uint32_t(map.Address(map.tail + 40)));
    map.bytes[map.syntaxHeader + 46] = 4;  // last index 4, then 0xFF: 0xFF04 reads as -252
    TempFolder temp;
    const ScriptData data = ReadData(Saved(map, temp));
    EXPECT_EQ(data.scenario, map.scenario);
    EXPECT_EQ(std::tie(data.SyntaxDataSize, data.syntaxHeader, data.ScriptTableSize, data.ScriptTable),
              std::make_tuple(56 + 200, map.syntaxHeader, 1024, map.stringData));
    EXPECT_EQ(std::tie(data.scriptCount, data.scripts, data.globalCount, data.globals),
              std::make_tuple(3, map.tail + 8, 2, map.tail + 40));
    EXPECT_EQ(std::make_tuple(data.SyntaxCount, data.NodeCapacity()), std::make_tuple(-252, 10));
    EXPECT_FALSE(data.HasScripts());
}

TEST(ScriptData, StringDataIsTextsReservePaddingScriptsThenGlobals) {
    const StringDataLayout even = LayOutStringData(12, 1, 2), odd = LayOutStringData(13, 0, 0);
    EXPECT_EQ(std::make_tuple(even.padding, even.scripts, even.globals, even.end, even.SizeField()),
              std::make_tuple(1036, 1036, 1128, 1312, 1036));
    EXPECT_EQ(std::make_tuple(odd.padding, odd.scripts, odd.end), std::make_tuple(1037, 1040, 1040));
}

// A compiled map is recognised by where its records lie; the same fields
// with records anywhere else are another tool's.
TEST(ScriptData, ACompileIsRecognisedByItsLayout) {
    TempFolder temp;
    const SyntheticMap map = BuildSyntheticMap();
    const auto path = Saved(map, temp);
    CompileDocument(path, Intro());
    const ScriptData compiled = ReadData(path);
    EXPECT_TRUE(compiled.HasScripts());
    EXPECT_TRUE(compiled.CompiledByTarnfold(map.Length() + 112));
    EXPECT_FALSE(compiled.CompiledByTarnfold(map.stringData + 1044 + 91))
        << "its records must lie inside the file";
    EXPECT_EQ(compiled.ReplacedEnd(map.Length() + 112), map.stringData + 1044 + 92);

    Bytes moved = ReadFileBytes(path);
    PutWord(moved, map.scenario + 1184, Word(moved, map.scenario + 1184) + 4);
    WriteFile(path, moved);
    EXPECT_FALSE(ReadData(path).CompiledByTarnfold(map.Length() + 112));
}

}  // namespace
}  // namespace tarnfold::testing
