// HSC: the tables, the translation into documents (forms, conversions,
// errors), the round trip through WriteHsc, and the compile and name checks
// against a map's target.
#include <gmock/gmock.h>

#include "ExpectedMap.h"
#include "SyntheticMap.h"
#include "compiler/Tarnfold.h"
#include "engine/CheckNames.h"
#include "hsc/Translate.h"
#include "hsc/WriteHsc.h"
#include "runtime/XmlWriter.h"

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
    std::string text =
        node.Name == "script" ? "[" + a("NameAttr") + " " + a("TypeAttr") + " " + a("ReTypeAttr") + "]"
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
    std::string source;
    Engine engine;
    const char* expected;  // RenderAll of the document, or the first error (whole when it ends in "\n")
};

const Case kTranslations[] = {
    {"(script startup a (sleep 30) (fade_in 1 1 1 30))", Engine::Custom,
     "[a 0 4] (sleep 19 4 7=30) (fade_in 297 4 6=1 6=1 6=1 7=30)"},
    {"; comment\n(script dormant a ;* block *; (if (= (game_difficulty_get) impossible) (ai_place X)))",
     Engine::Custom,
     "[a 1 4] (if 2 4 (= 13 5 (game_difficulty_get 258 32) 32=impossible) (ai_place 162 4 17=x))"},
    {"(script continuous a (cond ((> (ai_living_count e) 2) (ai_kill e) (sleep 5)) (cheat_deathless_player "
     "(print \"Hi\"))))",
     Engine::Retail,
     "[a 2 4] (if 2 4 (> 15 5 (ai_living_count 188 7 17=e) 7=2) (begin 0 4 (ai_kill 163 4 17=e) (sleep 19 4 "
     "7=5)) "
     "(if 2 4 5=120@cheat_deathless_player (print 28 4 9=Hi)))"},
    {"(script static boolean b (set cheat_deathless_player on) (wake b) cheat_deathless_player)",
     Engine::Custom,
     "[b 3 5] (set 4 5 5=121@cheat_deathless_player 5=true) (wake 21 4 10=b) 5=121@cheat_deathless_player"},
    // unit to object, short to real, object_name passed as object
    {"(script stub void s (object_teleport (unit (list_get (players) 0)) f) (object_set_shield x "
     "(ai_living_count e)))",
     Engine::Custom,
     "[s 4 4] (object_teleport 34 4 (unit 23 37 (list_get 45 37 (players 29 23) 7=0)) 12=f) "
     "(object_set_shield 36 4 37=x (ai_living_count 188 6 17=e))"},
    // globals of the scenario and of every engine type, set on both, a static script called before it is
    // defined
    {"(global short n 0)\n(script startup a (set n (+ n 1)) (sleep rasterizer_far_clip_distance) (sleep "
     "(f)))\n"
     "(script static long f (* 30 2))",
     Engine::Custom,
     "{n 7} 7=0 [a 0 4] (set 4 7 7=0@n (+ 7 7 7=0@n 6=1)) (sleep 19 4 6=1@rasterizer_far_clip_distance) "
     "(sleep 19 4 <f 7>) [f 3 8] (* 9 8 6=30 6=2)"},
    // a static script replaces a stub of its name, wherever each stands
    {"(script static void s (sleep 1))\n(script stub void s (sleep 2))\n(script startup a (s))",
     Engine::Custom, "[s 3 4] (sleep 19 4 7=1) [a 0 4] <s 4>"},

    {"(script startup a\n  (ai_plce x))", Engine::Custom,
     "s.hsc:2:4: error: ai_plce is not a function (did you mean ai_place?)"},
    {"(script startup a (sv_say \"x\"))", Engine::Retail,
     "s.hsc:1:20: error: sv_say exists in Custom Edition only, and the retail game crashes on it"},
    {"(script startup a (object_teleport (ai_living_count e) f))", Engine::Custom,
     "s.hsc:1:37: error: ai_living_count gives a short, where an object is expected"},
    {"(script startup a (sleep \"x\"))", Engine::Custom,
     "s.hsc:1:26: error: a quoted string where a short is expected"},
    {"(script startup a (sleep 40000))", Engine::Custom,
     "s.hsc:1:26: error: 40000 does not fit a short (-32768 to 32767)"},
    {"(script startup a (fade_in 1 1 1))", Engine::Custom,
     "s.hsc:1:20: error: fade_in takes 4 arguments, not 3"},
    {"(script startup a (sleep n))\n(global short n 0)", Engine::Custom,
     "s.hsc:1:26: error: n is a global declared later, at line 2; a global is used after its declaration"},
    {"(global short n 0)\n(global real n 1)", Engine::Custom,
     "s.hsc:2:14: error: a global named n is declared already"},
    {"(global boolean cheat_deathless_player 0)", Engine::Custom,
     "s.hsc:1:17: error: cheat_deathless_player is the name of an engine global"},
    {"(global void v 0)", Engine::Custom, "s.hsc:1:9: error: void is not a value type a global can have"},
    {"(script dormant d (sleep 1))\n(script startup a (d))", Engine::Custom,
     "s.hsc:2:20: error: d is a dormant script: only static and stub scripts are called"},
    {"(script static void f (sleep 1))\n(script startup a (f 1))", Engine::Custom,
     "s.hsc:2:22: error: a script call takes no arguments"},
    {"(script startup a (game_difficulty_set impossibl))", Engine::Custom,
     "s.hsc:1:40: error: impossibl is not a game_difficulty (easy, normal, hard, impossible) (did you mean "
     "impossible?)"},
    {"(script startup a (sleep 1)", Engine::Custom, "s.hsc:1:1: error: this ( is never closed"},
    // What a modder reads: suggestions only for typos, the limit a number passes, why a string stops.
    {"(script startup a (x))", Engine::Custom, "s.hsc:1:20: error: x is not a function\n"},
    {"(script startup a (ok))", Engine::Custom, "s.hsc:1:20: error: ok is not a function\n"},
    {"(script startup a (sleep 99999999999))", Engine::Custom,
     "s.hsc:1:26: error: 99999999999 does not fit a long (-2147483648 to 2147483647)"},
    {"(script startup a (print \"say \\\"hi\\\"\"))", Engine::Custom,
     "s.hsc:1:33: error: HSC strings cannot hold a quote: the \" after \\ ends the string here"},
    {"(script startup a (unit_kill 3))", Engine::Custom,
     "s.hsc:1:30: error: the number 3 where a unit is expected"},
    {"(script startup a (sleep_until multiplayer_draw_teammates_names))", Engine::Retail,
     "s.hsc:1:32: error: multiplayer_draw_teammates_names is a global of Custom Edition only; retail has no "
     "such global"},
    {"(script startup a (sleep " + std::string(5000, 'x') + "))", Engine::Custom,
     "s.hsc:1:26: error: "
     "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"
     "\u2026 "
     "is not a number, and a short is expected\n"},
    {"<scripts/>", Engine::Custom, "s.hsc:1:1: error: this is a script document (XML), not HSC"},
    {"\xEF\xBB\xBF(script startup a (sleep 1))", Engine::Custom, "[a 0 4] (sleep 19 4 7=1)"},
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
            EXPECT_EQ(WriteXml(Translate(again, "again.hsc", c.engine).document), WriteXml(document))
                << again;
        } catch (const HscError& e) {
            EXPECT_EQ((e.Messages().front() + "\n").substr(0, std::string(c.expected).size()), c.expected);
        }
    }
}

std::string Repeat(const std::string& text, int times) {
    std::string all;
    for (int i = 0; i < times; ++i) all += text;
    return all;
}
std::string Nested(int ifs) {
    return "(script startup a " + Repeat("(if true ", ifs) + "(sleep 1)" + std::string(ifs, ')') + ")";
}

// Sources that were compiled into maps whose scripts then did not read back
// (or, empty, removed every script): each is refused at its place, by
// translate and compile alike, before the map is touched.
const std::pair<std::string, const char*> kFaults[] = {
    {"",
     "s.hsc:1:1: error: the source holds no script, and compiling it would remove every script of the map; "
     "to "
     "remove them all on purpose, compile an empty script document, <scripts/>"},
    {"; saved too early\n;* nothing yet *;\n", "s.hsc:1:1: error: the source holds no script"},
    {"(script startup a (print \"caf\xe9\"))",
     "s.hsc:1:30: error: byte 0xE9 is not UTF-8 text: save the source as UTF-8"},
    {"(script startup a (ai_place caf\xc3))", "s.hsc:1:32: error: byte 0xC3 is not UTF-8 text"},
    {std::string("(script startup a (sle\0ep 1))", 29),
     "s.hsc:1:23: error: a name holds the control character 0x00"},
    {Nested(253), "s.hsc:1:2303: error: expressions are nested deeper than 254 levels here"},
    {Nested(254), "s.hsc:1:2300: error: expressions are nested deeper than 254 levels here"},
    {"(script startup a (cond" + Repeat(" (true 1)", 255) + "))",
     "s.hsc:1:20: error: cond has 255 clauses, which nest as many ifs; expressions nest at most 254 levels"},
    {"(script startup a" + Repeat(" (sleep 1)", 10921) + ")",
     "s.hsc:1:109219: error: the scripts need more than 32768 syntax nodes by here"},
    {"(script startup a" + Repeat(" ()", 131070) + ")",
     "s.hsc:1:393221: error: the source holds more than 131072 expressions"},
    {std::string(hsc::kMaxSourceBytes + 1, ' '),
     "s.hsc: the source is 16777217 bytes; Tarnfold reads HSC sources of at most"},
};

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

TEST_F(HscCompile, FaultsAreRefusedAtTheirPlaceBeforeTheMapIsTouched) {
    const auto map = Save(BuildSyntheticMap());
    const Bytes before = ReadFileBytes(map);
    for (const auto& [source, message] : kFaults) {
        SCOPED_TRACE(message);
        EXPECT_THAT([&] { TranslateHsc(source, "s.hsc", Engine::Custom); },
                    ::testing::ThrowsMessage<HscError>(::testing::StartsWith(message)));
        EXPECT_THAT([&] { CompileHsc(map, source, "s.hsc"); },
                    ::testing::ThrowsMessage<HscError>(::testing::StartsWith(message)));
    }
    EXPECT_EQ(Difference(ReadFileBytes(map), before), "");
}

TEST_F(HscCompile, DocumentNamesAreCheckedAsWarnings) {
    const auto map = Save(BuildSyntheticMap());
    const CompileSummary summary =
        CompileDocument(map, R"(<s><script NameAttr="a" TypeAttr="0" ReTypeAttr="4">
        <ScriptCommand Command="ai_plce" EngineId="162" ValueType="4"/>
        <ScriptCommand Command="sleep" EngineId="18" ValueType="5"/>
        <GlobalValue ValueType="5" Value="1" ValueCommand="cheat_deathless_playr"/></script></s>)");
    EXPECT_EQ(summary.target, "Custom Edition (the map's header says version 609)");
    const std::vector<std::string> expected = {
        "<document>:3:9: warning: element \"ScriptCommand\": EngineId 18 is not sleep's number in Custom "
        "Edition (19)",
        ":3:9: warning: element \"ScriptCommand\": ValueType 5 is neither sleep's return type, 4 (void), nor "
        "a type",
        ":3:9: warning: element \"ScriptCommand\": sleep takes 1 to 2 arguments, not 0",
        "the syntax data is 1336 bytes, not 380076 (19001 nodes): the game ignores a syntax table of any "
        "other size",
        ":2:9: warning: element \"ScriptCommand\": it calls \"ai_plce\", which is no function (did you mean "
        "ai_place?) "
        "(the game will not load",
        ":4:9: warning: element \"GlobalValue\": \"cheat_deathless_playr\" is no global of the scenario or "
        "of Custom Edition (did you mean "
        "cheat_deathless_player?) (the game will not load the map's scripts)"};
    ASSERT_EQ(summary.warnings.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_NE(summary.warnings[i].Format("warning").find(expected[i]), std::string::npos)
            << summary.warnings[i].Format("warning");
}

}  // namespace
}  // namespace tarnfold::testing
