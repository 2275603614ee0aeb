// What the game checks when it loads a map's scripts: names found in the
// level as the game finds them, tag constants holding tag IDs, the map's
// header and scenario following a compile's move, and `check`.
#include <gmock/gmock.h>

#include "ExpectedMap.h"
#include "compiler/Internal.h"
#include "runtime/Error.h"

namespace tarnfold::testing {
namespace {

using ::testing::HasSubstr;

const SyntheticLevel kLevel{
    .objectNames = {{"keyes", 0}, {"pelican", 1}, {"unplaced", -1}},
    .triggerVolumes = {"entry", "Bridge"},
    .cutsceneFlags = {"landing"},
    .cameraPoints = {"overhead"},
    .cutsceneTitles = {"chapter_one"},
    .recordings = {"pelican_in"},
    .deviceGroups = {"doors"},
    .commandLists = {"patrol"},
    .conversations = {"hello"},
    .startingProfiles = {"rifle_only"},
    .encounters = {{"first_wave", {"grunts", "jackals"}, {"left"}}, {"extra", {}, {}}},
    .hudMessages = {"objective_1"},
    .navpoints = {"default"},
    .tags = {{"snd!", "\xff\xff\xff\xff", "\xff\xff\xff\xff", "sound\\dialog\\x"},
             {"effe", "\xff\xff\xff\xff", "\xff\xff\xff\xff", "effects\\boom"},
             {"weap", "item", "obje", "weapons\\rifle\\rifle"}},
};

std::string Startup(const std::string& body) {
    return "(script startup a " + body + ")";
}

// Each name in a place of its type: found (no error), or refused with what
// the map has.
TEST(GameLoad, HscNamesAreFoundAsTheGameFindsThem) {
    const struct {
        std::string expression;
        std::string error;  // empty: compiles
    } cases[] = {
        {"(volume_test_objects entry (players))", ""},
        {"(volume_test_objects bridge (players))", ""},  // letter case does not matter
        {"(volume_test_objects entyr (players))",
         "entyr is no trigger volume of the map; the map's are: entry, Bridge"},
        {"(object_teleport keyes landing)", ""},
        {"(camera_set overhead 30)", ""},
        {"(cinematic_set_title chapter_one)", ""},
        {"(recording_play keyes pelican_in)", ""},
        {"(device_group_set doors 1)", ""},
        {"(ai_command_list first_wave patrol)", ""},
        {"(player_add_equipment keyes rifle_only true)", ""},
        {"(ai_conversation helo)", "helo is no conversation of the map; the map's are: hello"},
        {"(activate_nav_point_object default keyes pelican 0.5)", ""},
        {"(hud_set_objective_text objective_1)", ""},
        {"(hud_set_objective_text objective_2)",
         "objective_2 is no hud message of the map; the map's are: objective_1"},
        {"(ai_place first_wave)", ""},
        {"(ai_place first_wave/jackals)", ""},
        {"(ai_place first_wave/left)", ""},
        {"(ai_place first_wave/snipers)",
         "snipers is no squad or platoon of the encounter first_wave; the map's are: grunts, jackals, left"},
        {"(ai_place frist_wave)", "frist_wave is no encounter of the map; the map's are: first_wave, extra"},
        {"(ai_place none)", ""},
        {"(unit_enter_vehicle keyes pelican \"driver\")", ""},
        {"(unit_enter_vehicle keyes keyes \"driver\")", "keyes names a biped, not a vehicle"},
        {"(unit_enter_vehicle unplaced pelican \"driver\")", ""},  // nothing placed: any type
        {"(sound_impulse_start sound\\dialog\\x none 1)", ""},
        {"(sound_impulse_start sound\\dialog\\y none 1)",
         "sound\\dialog\\y is no sound (snd! tag) of the map; the map's are: sound\\dialog\\x"},
        {"(unit_has_weapon keyes weapons\\rifle\\rifle)", ""},  // a weapon is an object by its third class
    };
    TempFolder temp;
    const auto path = Saved(BuildSyntheticMap({.level = kLevel}), temp);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expression);
        CompileOptions dryRun;
        dryRun.dryRun = true;
        try {
            CompileHsc(path, Startup(c.expression), "a.hsc", dryRun);
            EXPECT_EQ(c.error, "");
        } catch (const hsc::HscError& e) {
            EXPECT_THAT(e.Messages().front(), HasSubstr(c.error.empty() ? "(compiles)" : c.error));
        }
    }
}

// A document's names are warnings, with the specified bytes written; a tag
// constant holds the tag's ID, "none" all bits set, an unknown path is refused.
TEST(GameLoad, DocumentsWarnAndTagConstantsHoldTagIds) {
    TempFolder temp;
    const SyntheticMap map = BuildSyntheticMap({.level = kLevel});
    const auto path = Saved(map, temp);
    const auto value = [](int type, const std::string& text) {
        return "<ScriptValue ValueType=\"" + std::to_string(type) + "\" Value=\"" + text + "\"/>";
    };
    const std::string document = "<s><script NameAttr=\"a\">" + value(24, "sound\\dialog\\x") +
                                 value(25, "none") + value(11, "exit") + "</script></s>";
    const CompileSummary summary = CompileDocument(path, document);
    EXPECT_FALSE(summary.check.loads);
    EXPECT_THAT(summary.check.failures.back(), HasSubstr("line 1, column 119: exit is no trigger volume"));
    const Bytes after = ReadFileBytes(path);
    const int64_t node4 = map.syntaxHeader + 56 + 20 * 4;
    EXPECT_EQ(Word(after, node4 + 16), 0xE1F50004u) << "tag 4, the map's first tag beyond its own four";
    EXPECT_EQ(Word(after, node4 + 20 + 16), 0xFFFFFFFFu);
    EXPECT_EQ(Word(after, node4 + 40 + 16), 0u) << "the game parses a trigger volume from its text";

    const Bytes before = ReadFileBytes(path);
    EXPECT_THAT(
        [&] {
            CompileDocument(path, "<s><script NameAttr=\"a\">" + value(24, "sound\\x") + "</script></s>");
        },
        ::testing::ThrowsMessage<Error>(HasSubstr("\"sound\\x\" is no sound (snd! tag) of the map")));
    EXPECT_EQ(Difference(ReadFileBytes(path), before), "");
}

// A growing and a shrinking compile into a map whose blocks lie before the
// string data, and into one whose blocks lie after it, in the part that
// moves: the header's sizes and the moved blocks' addresses follow.
TEST(GameLoad, HeaderAndScenarioFollowTheMove) {
    for (const bool after : {false, true}) {
        SyntheticLevel level = kLevel;
        level.afterStrings = after;
        const SyntheticMap map = BuildSyntheticMap({.nodeCapacity = 600, .level = level});
        TempFolder temp;
        const auto path = Saved(map, temp);
        Bytes before = map.bytes;
        for (const std::string& source :
             {std::string("(script startup a (sleep 1))"),
              Startup(std::string(400, ' ') + "(print \"" + std::string(3000, 'x') + "\")"),
              Startup("(ai_place extra)")}) {
            const CompileSummary summary = CompileHsc(path, source, "a.hsc");
            const Bytes now = ReadFileBytes(path);
            EXPECT_EQ(Word(now, 8), Word(before, 8) + uint32_t(summary.growth)) << "file size";
            EXPECT_EQ(Word(now, 20), Word(before, 20) + uint32_t(summary.growth)) << "tag data size";
            const uint32_t triggerVolumes = Word(now, map.scenario + 868);
            EXPECT_EQ(triggerVolumes,
                      Word(before, map.scenario + 868) + (after ? uint32_t(summary.growth) : 0));
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(&now.at(triggerVolumes - map.magic + 4))),
                      "entry");
            EXPECT_EQ(
                Difference(now, ExpectedMap(before, Built(TranslateHsc(source, "a.hsc", Engine::Custom)))),
                "");
            before = now;
        }
    }
}

// `check` passes a map the game loads and lists, node by node, what makes it
// drop the scripts of a broken one.
TEST(GameLoad, CheckListsWhatTheGameWouldFail) {
    TempFolder temp;
    const SyntheticMap map = BuildSyntheticMap({.nodeCapacity = 19001, .level = kLevel});
    const auto path = Saved(map, temp);
    EXPECT_TRUE(CheckMap(path).loads) << "no scripts";
    CompileHsc(path, Startup("(volume_test_objects entry (players))"), "a.hsc");
    const LoadCheck good = CheckMap(path);
    EXPECT_TRUE(good.checked && good.loads) << ::testing::PrintToString(good.failures);

    Bytes broken = ReadFileBytes(path);
    const int64_t texts = map.stringData;
    std::copy_n("vxlume", 6, broken.begin() + texts + 6);  // the function's name, after "begin\0"
    PutWord(broken, map.scenario + 1140, 1336);            // the syntax data's size field
    WriteFile(path, broken);
    const LoadCheck bad = CheckMap(path);
    EXPECT_FALSE(bad.loads);
    EXPECT_THAT(bad.failures,
                ::testing::ElementsAre(HasSubstr("the syntax data is 1336 bytes, not 380076"),
                                       HasSubstr("script a, node 4: it calls \"vxlume_test_objects\"")));
}

}  // namespace
}  // namespace tarnfold::testing
