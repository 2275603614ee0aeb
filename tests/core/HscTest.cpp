// HSC: the tables, the translation into documents (forms, conversions,
// errors), the round trip through WriteHsc, and the compile and name checks
// against a map's target.
#include <gtest/gtest.h>

#include "ExpectedMap.h"
#include "SyntheticMap.h"
#include "compiler/Tarnfold.h"
#include "engine/CheckNames.h"
#include "runtime/XmlWriter.h"
#include "hsc/Translate.h"
#include "hsc/WriteHsc.h"

namespace tarnfold::testing {
namespace {

using namespace hsc;
using namespace engine;

// A document in short: [script type returnType] body, {global type} value,
// (Command EngineId ValueType args...), <Script ValueType>, Type=Value,
// Type=Value@global.
std::string Render(const XmlNode& node) {
    const auto a = [&](const char* attribute) { return node.GetAttribute(attribute); };
    if (node.Name == "ScriptValue") return a("ValueType") + "=" + a("Value");
    if (node.Name == "GlobalValue") return a("ValueType") + "=" + a("Value") + "@" + a("ValueCommand");
    if (node.Name == "ScriptCall") return "<" + a("Script") + " " + a("ValueType") + ">";
    std::string text = node.Name == "script"           ? "[" + a("NameAttr") + " " + a("TypeAttr") + " " + a("ReTypeAttr") + "]"
                       : node.Name == "ScenarioGlobal" ? "{" + a("NameAttr") + " " + a("ValueType") + "}"
                                                       : "(" + a("Command") + " " + a("EngineId") + " " + a("ValueType");
    for (const XmlNode& child : node.Children) text += " " + Render(child);
    return node.Name == "ScriptCommand" ? text + ")" : text;
}

std::string RenderAll(const XmlNode& root) {
    std::string text;
    for (const XmlNode& script : root.Children) text += (text.empty() ? "" : " ") + Render(script);
    return text;
}

TEST(HscTables, LoadWithTheirCountsAndEveryNameIsFound) {
    EXPECT_EQ(Functions().size(), 543u);
    EXPECT_EQ(Globals().size(), 497u);
    EXPECT_EQ(ValueTypes().size(), 49u);
    EXPECT_EQ(ScriptTypes().size(), 5u);
    for (const Function& f : Functions()) EXPECT_EQ(FindFunction(f.name), &f) << f.name;
    for (const Global& g : Globals()) EXPECT_EQ(FindGlobal(g.name)->name, g.name);
    EXPECT_EQ(FindEnumMember(*FindValueType("game_difficulty"), "impossible"), 3);
}

struct Case {
    const char* source;
    Engine engine;
    const char* expected;  // RenderAll of the document, or the first error
};

const Case kTranslations[] = {
    {"(script startup a (sleep 30) (fade_in 1 1 1 30))", Engine::Custom,
     "[a 0 4] (sleep 19 4 7=30) (fade_in 297 4 6=1 6=1 6=1 7=30)"},
    {"; comment\n(script dormant a ;* block *; (if (= (game_difficulty_get) impossible) (ai_place X)))", Engine::Custom,
     "[a 1 4] (if 2 4 (= 13 5 (game_difficulty_get 258 32) 32=impossible) (ai_place 162 4 17=x))"},
    {"(script continuous a (cond ((> (ai_living_count e) 2) (ai_kill e) (sleep 5)) (cheat_deathless_player (print \"Hi\"))))",
     Engine::Retail,
     "[a 2 4] (if 2 4 (> 15 5 (ai_living_count 188 7 17=e) 7=2) (begin 0 4 (ai_kill 163 4 17=e) (sleep 19 4 7=5)) "
     "(if 2 4 5=120@cheat_deathless_player (print 28 4 9=Hi)))"},
    {"(script static boolean b (set cheat_deathless_player on) (wake b) cheat_deathless_player)", Engine::Custom,
     "[b 3 5] (set 4 5 5=121@cheat_deathless_player 5=true) (wake 21 4 10=b) 5=121@cheat_deathless_player"},
    // unit to object, short to real, object_name passed as object
    {"(script stub void s (object_teleport (unit (list_get (players) 0)) f) (object_set_shield x (ai_living_count e)))",
     Engine::Custom,
     "[s 4 4] (object_teleport 34 4 (unit 23 37 (list_get 45 37 (players 29 23) 7=0)) 12=f) "
     "(object_set_shield 36 4 37=x (ai_living_count 188 6 17=e))"},
    // globals of the scenario and of every engine type, set on both, a static script called before it is defined
    {"(global short n 0)\n(script startup a (set n (+ n 1)) (sleep rasterizer_far_clip_distance) (sleep (f)))\n"
     "(script static long f (* 30 2))",
     Engine::Custom,
     "{n 7} 7=0 [a 0 4] (set 4 7 7=0@n (+ 7 7 7=0@n 6=1)) (sleep 19 4 6=1@rasterizer_far_clip_distance) "
     "(sleep 19 4 <f 7>) [f 3 8] (* 9 8 6=30 6=2)"},
    // a static script replaces a stub of its name, wherever each stands
    {"(script static void s (sleep 1))\n(script stub void s (sleep 2))\n(script startup a (s))", Engine::Custom,
     "[s 3 4] (sleep 19 4 7=1) [a 0 4] <s 4>"},

    {"(script startup a\n  (ai_plce x))", Engine::Custom,
     "s.hsc:2:4: error: ai_plce is not a function (did you mean ai_place?)"},
    {"(script startup a (sv_say \"x\"))", Engine::Retail,
     "s.hsc:1:20: error: sv_say exists in Custom Edition only, and the retail game crashes on it"},
    {"(script startup a (object_teleport (ai_living_count e) f))", Engine::Custom,
     "s.hsc:1:37: error: ai_living_count gives a short, where an object is expected"},
    {"(script startup a (sleep \"x\"))", Engine::Custom, "s.hsc:1:26: error: a quoted string where a short is expected"},
    {"(script startup a (sleep 40000))", Engine::Custom, "s.hsc:1:26: error: 40000 does not fit a short (-32768 to 32767)"},
    {"(script startup a (fade_in 1 1 1))", Engine::Custom, "s.hsc:1:20: error: fade_in takes 4 arguments, not 3"},
    {"(script startup a (sleep n))\n(global short n 0)", Engine::Custom,
     "s.hsc:1:26: error: n is a global declared later, at line 2; a global is used after its declaration"},
    {"(global short n 0)\n(global real n 1)", Engine::Custom, "s.hsc:2:14: error: a global named n is declared already"},
    {"(global boolean cheat_deathless_player 0)", Engine::Custom,
     "s.hsc:1:17: error: cheat_deathless_player is the name of an engine global"},
    {"(global void v 0)", Engine::Custom, "s.hsc:1:9: error: void is not a value type a global can have"},
    {"(script dormant d (sleep 1))\n(script startup a (d))", Engine::Custom,
     "s.hsc:2:20: error: d is a dormant script: only static and stub scripts are called"},
    {"(script static void f (sleep 1))\n(script startup a (f 1))", Engine::Custom,
     "s.hsc:2:22: error: a script call takes no arguments"},
    {"(script startup a (game_difficulty_set impossibl))", Engine::Custom,
     "s.hsc:1:40: error: impossibl is not a game_difficulty (easy, normal, hard, impossible) (did you mean impossible?)"},
    {"(script startup a (sleep 1)", Engine::Custom, "s.hsc:1:1: error: this ( is never closed"},
};

TEST(HscTranslate, SourcesGiveTheirDocumentsOrTheirFirstError) {
    for (const Case& c : kTranslations) {
        SCOPED_TRACE(c.source);
        try {
            const XmlNode document = Translate(c.source, "s.hsc", c.engine).document;
            EXPECT_EQ(RenderAll(document), c.expected);
            EXPECT_TRUE(CheckNames(document, c.engine).empty());
            // Round trip: the document as HSC translates into the same document.
            const std::string again = WriteHsc(document, c.engine);
            EXPECT_EQ(WriteXml(Translate(again, "again.hsc", c.engine).document), WriteXml(document)) << again;
        } catch (const HscError& e) {
            EXPECT_EQ(e.Messages().front().substr(0, std::string(c.expected).size()), c.expected);
        }
    }
}

TEST(HscTranslate, ReportsSeveralErrorsAndStopsAtTwenty) {
    std::string source = "(script startup a";
    for (int i = 0; i < 30; ++i) source += "\n (ai_plce x)";
    try {
        Translate(source + ")", "s.hsc", Engine::Custom);
        FAIL() << "no error";
    } catch (const HscError& e) {
        ASSERT_EQ(e.Messages().size(), Diagnostics::kMaxErrors + 1);
        EXPECT_EQ(e.Messages()[19].substr(0, 14), "s.hsc:21:3: er");
        EXPECT_EQ(e.Messages().back(), "s.hsc: stopped after 20 errors");
    }
}

class HscCompile : public ::testing::Test {
protected:
    std::filesystem::path Save(const SyntheticMap& map, const std::string& name = "m.map") {
        map.Save(temp / name);
        return temp / name;
    }
    TempFolder temp;
};

// The map header's version picks the numbers; HSC compiles to the bytes of
// the document it translates into.
TEST_F(HscCompile, IsTheTranslatedDocumentCompiledForTheMapsGame) {
    SyntheticMap synthetic = BuildSyntheticMap();
    synthetic.SetWord(4, 7);  // retail
    const auto hscMap = Save(synthetic, "hsc.map"), xmlMap = Save(synthetic, "xml.map");
    const char* source = "(script startup a (if cheat_deathless_player (sleep 30)))";
    const CompileSummary summary = CompileHsc(hscMap, source, "a.hsc");
    EXPECT_EQ(summary.target, "retail (the map's header says version 7)");
    const std::string document = TranslateHsc(source, "a.hsc", Engine::Retail);
    EXPECT_NE(document.find("Value=\"120\""), std::string::npos);
    CompileDocument(xmlMap, document);
    EXPECT_EQ(Difference(ReadFileBytes(hscMap), ReadFileBytes(xmlMap)), "");

    const Bytes before = ReadFileBytes(hscMap);
    EXPECT_THROW(CompileScriptText(hscMap, "  (script startup a (sv_say \"x\"))"), HscError);
    EXPECT_EQ(Difference(ReadFileBytes(hscMap), before), "");
}

TEST_F(HscCompile, DocumentNamesAreCheckedAsWarnings) {
    const auto map = Save(BuildSyntheticMap());
    const CompileSummary summary = CompileDocument(map, R"(<s><script NameAttr="a" TypeAttr="0" ReTypeAttr="4">
        <ScriptCommand Command="ai_plce" EngineId="162" ValueType="4"/>
        <ScriptCommand Command="sleep" EngineId="18" ValueType="5"/>
        <GlobalValue ValueType="5" Value="1" ValueCommand="cheat_deathless_playr"/></script></s>)");
    EXPECT_EQ(summary.target, "Custom Edition (the map's header says version 609)");
    const std::vector<std::string> expected = {
        "<document>:3:9: warning: element \"ScriptCommand\": EngineId 18 is not sleep's number in Custom Edition (19)",
        ":3:9: warning: element \"ScriptCommand\": ValueType 5 is neither sleep's return type, 4 (void), nor a type",
        ":3:9: warning: element \"ScriptCommand\": sleep takes 1 to 2 arguments, not 0",
        "the syntax data is 1336 bytes, not 380076 (19001 nodes): the game ignores a syntax table of any other size",
        ":2:9: warning: element \"ScriptCommand\": it calls \"ai_plce\", which is no function (did you mean ai_place?) "
        "(the game will not load",
        ":4:9: warning: element \"GlobalValue\": \"cheat_deathless_playr\" is no global of the scenario or of Custom Edition (did you mean "
        "cheat_deathless_player?) (the game will not load the map's scripts)"};
    ASSERT_EQ(summary.warnings.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_NE(summary.warnings[i].Format("warning").find(expected[i]), std::string::npos)
            << summary.warnings[i].Format("warning");
}

}  // namespace
}  // namespace tarnfold::testing
