// Everything a compile refuses, and the promise behind every refusal: the
// map file is byte for byte what it was, and no temporary file is left over.
#include <gmock/gmock.h>

#include <functional>

#include "ExpectedMap.h"
#include "compiler/Tarnfold.h"
#include "runtime/Error.h"

namespace tarnfold::testing {
namespace {

using namespace layout;
using ::testing::HasSubstr;

// Nine nodes: fits a syntax data of capacity 9, not 8.
constexpr std::string_view kNineNodes =
    R"(<s><script NameAttr="ok"><ScriptCommand Command="f" EngineId="3" ValueType="4"/></script></s>)";

std::string Body(std::string_view expressions) {
    return "<s>\n<script NameAttr=\"x\">\n" + std::string(expressions) + "\n</script></s>";
}
// `count` scripts of one constant each, named `name` (and the last `last`),
// the last one's body a call with a text of `text` bytes.
std::string Scripts(int count, size_t text = 0, const std::string& last = "s") {
    std::string document = "<s>";
    for (int i = 1; i < count; ++i)
        document += R"(<x NameAttr="s"><ScriptValue ValueType="8" Value="1"/></x>)";
    return document + "<x NameAttr=\"" + last + "\"><ScriptCommand Command=\"" + std::string(text, 't') +
           "\"/></x></s>";
}

struct Refusal {
    std::string name;
    std::function<void(SyntheticMap&)> breakMap;  // none: the document is at fault
    std::string document;                         // empty: kNineNodes
    std::string message;
};

void PrintTo(const Refusal& refusal, std::ostream* out) {
    *out << refusal.name;
}

// Offsets of the map the refusals start from, for maps broken on purpose.
// It holds 4200 nodes: the script limit comes before its capacity.
const SyntheticMap kMap = BuildSyntheticMap({.nodeCapacity = 4200});
const int64_t S = kMap.scenario;
const int64_t kSyntaxEnd = kMap.stringData - kMap.syntaxHeader;

std::function<void(SyntheticMap&)> SetWord(int64_t at, int64_t value) {
    return [at, value](SyntheticMap& m) { m.SetWord(at, uint32_t(value)); };
}
std::function<void(SyntheticMap&)> PointAt(int64_t at, int64_t offset) {
    return [at, offset](SyntheticMap& m) { m.SetWord(at, uint32_t(m.Address(offset))); };
}
// The scenario's fields, or the tag index, copied to `to` and pointed at.
std::function<void(SyntheticMap&)> MoveScenario(int64_t to) {
    return [to](SyntheticMap& m) {
        std::copy_n(kMap.bytes.begin() + S, kFieldsEnd, m.bytes.begin() + to);
        PointAt(m.Entry(0) + kEntryDataAddress, to)(m);
    };
}
std::function<void(SyntheticMap&)> MoveIndex(int64_t to) {
    return [to](SyntheticMap& m) {
        std::copy(kMap.bytes.begin() + m.indexOffset, kMap.bytes.begin() + m.Entry(4), m.bytes.begin() + to);
        m.SetWord(IndexOffsetField(true), uint32_t(to));
        PointAt(to, to + kIndexHeaderSize)(m);  // keeps Magic
    };
}

const Refusal kRefusals[] = {
    // The map.
    {"FileShorterThanTheLayoutMark", [](auto& m) { m.bytes.resize(3); }, "",
     "3 bytes long, too short to be a map"},
    {"FileShorterThanTheIndexOffset", [](auto& m) { m.bytes[0] = 'H', m.bytes.resize(1500); }, "",
     "too short to hold the index offset at 1516"},
    {"TagIndexPastTheEnd", SetWord(kMap.indexOffset + kIndexTagCount, 60000), "",
     "(60000 entries from offset 2088"},
    {"OnlyOneTag", SetWord(kMap.indexOffset + kIndexTagCount, 1), "", "the tag count is 1;"},
    {"FirstTagIsNoScenario", [](auto& m) { std::copy_n("ejbo", 4, m.bytes.begin() + m.tagOffset); }, "",
     "tag 0 has the class \"obje\""},
    {"ScriptsOfAnotherToolUnlessAsked",
     [](auto& m) {
         m = BuildSyntheticMap({.kit = {{"a", "b"}, {"g"}}});
     },
     "",
     "holds 2 scripts and 1 globals that another tool compiled, which a compile replaces; read them back "
     "first"},
    {"ScriptsOfAnotherToolRunningPastTag1", SetWord(S + kStringDataSize, 1030), "",
     "tag 1's data at 88880 (0x15B30) lies before the end of the script data at 88886"},
    {"StringDataBelowItsReserve", SetWord(S + kStringDataSize, 1000), "", "string data size is 1000"},
    {"SyntaxDataSmallerThanItsHeader", SetWord(S + kSyntaxDataSize, 40), "", "syntax data size 40"},
    {"SyntaxDataPastTheEnd", SetWord(S + kSyntaxDataSize, 1000000), "",
     "(offset 3800 (0xED8), 1000000 bytes) lies outside"},
    {"SyntaxDataOverlapsTheStrings", SetWord(S + kSyntaxDataSize, kSyntaxEnd + 20), "",
     "overlaps the string data"},
    {"TagIndexAfterTheStrings",
     [](auto& m) {  // syntax data at 64, string data at 1024, both before the index at 2048
         PointAt(S + kSyntaxDataAddress, 64)(m);
         SetWord(S + kSyntaxDataSize, 236)(m);
         PointAt(S + kStringDataAddress, 1024)(m);
     },
     "", "does not lie before the end of the script data at 2048"},
    {"TagIndexAfterTag1Data", PointAt(kMap.Entry(1) + kEntryDataAddress, kMap.indexOffset), "",
     "before tag 1's data at 2048"},
    {"Tag1DataInsideTheStrings", PointAt(kMap.Entry(1) + kEntryDataAddress, kMap.tail - 4), "",
     "lies before the end of the script data"},
    // The parts a compile writes into must lie apart, and before the string data.
    {"ScenarioFieldsInTheMovedTail", MoveScenario(kMap.tail + 64), "",
     "the scenario's script fields ... does not lie before the string data"},
    {"TagIndexInsideTheStrings", MoveIndex(kMap.stringData), "",
     "the tag index ... does not lie before the string data"},
    {"TagDataAddressOnTheMovedAddress",
     MoveIndex(S + kMovedAddress - kEntrySize * 2 - kEntryDataAddress - kIndexHeaderSize), "",
     "the tag index ... and the scenario's script fields ... overlap"},
    {"NodesOverTheScenarioFields", PointAt(S + kSyntaxDataAddress, S + 1000), "",
     "the scenario's script fields ... and the syntax data"},
    {"NodesOverTheTagIndex", PointAt(S + kSyntaxDataAddress, kMap.indexOffset - 100), "",
     "the tag index ... and the syntax data"},
    {"AddressesRunPast7FFFFFFF",
     [](auto& m) { m = BuildSyntheticMap({.magic = 0x7FFFF800u, .nodeCapacity = 4200}); }, "",
     "the map's addresses run past 0x7FFFFFFF"},
    {"MoreNodesThanTheSyntaxDataHolds", SetWord(S + kSyntaxDataSize, 56 + 20 * 8), "",
     "need 9 syntax nodes, but"},
    // The syntax data header's 16-bit count would wrap, whatever room there is.
    {"MoreNodesThanTheHeaderCounts", [](auto& m) { m = BuildSyntheticMap({.nodeCapacity = 33000}); },
     [] {
         std::string values;
         for (int i = 0; i < 32762; ++i) values += "<ScriptValue ValueType=\"8\"/>";
         return Body(values);
     }(),
     "the scripts need 32769 syntax nodes; a scenario holds at most 32768"},
    // The engine's limits.
    {"MoreThan512Scripts", {}, Scripts(513), "the document holds 513 scripts; the game loads at most 512"},
    {"StringDataPast262144Bytes", {}, Scripts(1, 262144 - 1024 - 6), "need 262145 bytes of string data"},
    {"MoreThan128Globals",
     {},
     [] {
         std::string globals = "<s>";
         for (int i = 0; i < 129; ++i)
             globals += R"(<ScenarioGlobal NameAttr="g"><ScriptValue ValueType="7"/></ScenarioGlobal>)";
         return globals + "</s>";
     }(),
     "the document holds 129 globals; the game loads at most 128"},
    // The document.
    {"ScriptNameOf32Bytes",
     {},
     "<s><script NameAttr=\"" + std::string(32, 'n') + "\"><ScriptValue/></script></s>",
     "is 32 bytes long"},
    {"ScriptWithoutExpressions", {}, "<s><script NameAttr=\"idle\"/></s>", "\"idle\" has no expressions"},
    {"ScriptOfCommentsAndStrangers", {}, Body("<!-- later --><Note/>"), "has no expressions"},
    {"ConstantWithArguments",
     {},
     Body("<ScriptValue ValueType=\"8\"><ScriptValue/></ScriptValue>"),
     "<document>:3:1: error: element \"ScriptValue\" has child elements"},
    {"StrangerWithArguments", {}, Body("<Note><ScriptValue/></Note>"), ":3:1: error: element \"Note\""},
    {"IntegerWithLetters",
     {},
     Body("<ScriptCommand EngineId=\"3x\"/>"),
     ":3:1: error: element \"ScriptCommand\": attribute \"EngineId\" is \"3x\""},
    {"IntegerPast32Bits",
     {},
     Body("<ScriptValue ValueType=\"8\" Value=\"2147483648\"/>"),
     "\"Value\" is \"2147483648\""},
    {"RealWithAComma", {}, Body("<ScriptValue ValueType=\"6\" Value=\"1,5\"/>"), "\"Value\" is \"1,5\""},
    {"RealPastAFloat", {}, Body("<GlobalValue ValueType=\"6\" Value=\"1e39\"/>"), "\"Value\" is \"1e39\""},
    {"GlobalBooleanNeitherKeywordNorNumber",
     {},
     Body("<GlobalValue ValueType=\"5\" Value=\"maybe\"/>"),
     "\"Value\" is \"maybe\""},
    // The XML.
    {"EmptyDocument", {}, " \n", "the document is empty"},
    {"MismatchedTag", {}, "<s>\n  <a b=\"1\">\n</s>", "<document>:3:3: error: mismatched tag"},
    {"UndefinedEntity",
     {},
     "<s>\n<script NameAttr=\"&nope;\"/></s>",
     "<document>:2:1: error: undefined entity"},
};

class Refused : public ::testing::TestWithParam<Refusal> {};

TEST_P(Refused, MapStaysAsItWas) {
    const Refusal& refusal = GetParam();
    SyntheticMap map = kMap;
    if (refusal.breakMap) refusal.breakMap(map);
    TempFolder temp;
    const auto path = Saved(map, temp);
    try {
        CompileDocument(path, refusal.document.empty() ? std::string(kNineNodes) : refusal.document);
        ADD_FAILURE() << "compiled";
    } catch (const Error& e) {
        // Every piece of the message between " ... ".
        for (size_t at = 0, end = 0; end != std::string::npos; at = end + 5) {
            end = refusal.message.find(" ... ", at);
            EXPECT_THAT(e.what(), HasSubstr(refusal.message.substr(at, end - at)));
        }
    }
    EXPECT_EQ(Difference(ReadFileBytes(path), map.bytes), "");
    EXPECT_EQ(temp.Others(), std::vector<std::string>{"m.map"});
}

INSTANTIATE_TEST_SUITE_P(All, Refused, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return info.param.name; });

// 512 scripts, 262,144 bytes of string data, a full syntax data and a name
// of 31 bytes compile; the names that come twice are warned about.
TEST(Refused, NothingAtTheLimits) {
    SyntheticMap map = kMap;
    map.SetWord(S + kSyntaxDataSize, 56 + 20 * (511 * 8 + 9));
    TempFolder temp;
    const std::string name(31, 'n');
    const CompileSummary summary = CompileDocument(Saved(map, temp), Scripts(512, 262144 - 1024 - 7, name));
    EXPECT_EQ(summary.scripts, 512);
    EXPECT_EQ(summary.nodes, summary.nodeCapacity);
    EXPECT_EQ(summary.textBytes, 262144 - 1024);
    const auto twice =
        std::count_if(summary.warnings.begin(), summary.warnings.end(), [](const Diagnostic& w) {
            return w.text.find("a script named \"s\" comes earlier in the document") != std::string::npos;
        });
    EXPECT_EQ(twice, 510);
    const int64_t records = map.stringData + 262144;
    EXPECT_EQ(Slice(ReadFileBytes(temp / "m.map"), records + 511 * 92, 32),
              Slice(ScriptRecord(name, 0, 0, 0), 0, 32));
    EXPECT_THAT([] { CompileDocument("", kNineNodes); },
                ::testing::ThrowsMessage<Error>(HasSubstr("no map is loaded")));
}

}  // namespace
}  // namespace tarnfold::testing
