// Everything a compile refuses, and the promise behind every refusal: the
// map file is byte for byte what it was, and no temporary file is left over.
#include "Support.h"

#include <gmock/gmock.h>

#include <functional>

#include "map/HaloPcMap.h"
#include "runtime/Error.h"
#include "runtime/Xml.h"

namespace tarnfold::testing {
namespace {

using ::testing::HasSubstr;

// Nine nodes: fits a syntax data of capacity 9, not 8.
constexpr std::string_view kNineNodes =
    R"(<s><script NameAttr="ok"><ScriptCommand Command="f" EngineId="3" ValueType="4"/></script></s>)";

std::string Body(std::string_view expressions) {
    return "<s>\n<script NameAttr=\"x\">\n" + std::string(expressions) + "\n</script></s>";
}

struct Refusal {
    std::string name;
    std::function<void(SyntheticMap&)> breakMap;  // none: the document is at fault
    std::string document;
    std::string message;
};

void PrintTo(const Refusal& refusal, std::ostream* out) { *out << refusal.name; }

// Offsets of the default synthetic map, for maps broken on purpose.
const SyntheticMap kMap = BuildSyntheticMap();
const int64_t S = kMap.scenario;

std::function<void(SyntheticMap&)> SetWord(int64_t at, int64_t value) {
    return [at, value](SyntheticMap& m) { m.SetWord(at, uint32_t(value)); };
}
std::function<void(SyntheticMap&)> PointAt(int64_t at, int64_t offset) {
    return [at, offset](SyntheticMap& m) { m.SetWord(at, uint32_t(m.Address(offset))); };
}
// The scenario's fields, or the tag index, copied to `to` and pointed at.
std::function<void(SyntheticMap&)> MoveScenario(int64_t to) {
    return [to](SyntheticMap& m) {
        std::copy_n(kMap.bytes.begin() + S, 1452, m.bytes.begin() + to);
        PointAt(m.Entry(0) + 20, to)(m);
    };
}
std::function<void(SyntheticMap&)> MoveIndex(int64_t to) {
    return [to](SyntheticMap& m) {
        std::copy(kMap.bytes.begin() + m.indexOffset, kMap.bytes.begin() + m.Entry(4), m.bytes.begin() + to);
        m.SetWord(16, uint32_t(to));
        PointAt(to, to + 40)(m);  // keeps Magic
    };
}

const Refusal kRefusals[] = {
    // The map.
    {"FileShorterThanTheLayoutMark", [](auto& m) { m.bytes.resize(3); }, "", "3 bytes long, too short to be a map"},
    {"FileShorterThanTheIndexOffset", [](auto& m) { m.bytes[0] = 'H', m.bytes.resize(1500); }, "",
     "too short to hold the index offset at 1516"},
    {"IndexHeaderPastTheEnd", SetWord(16, kMap.Length() - 20), "", "does not leave room for the tag index header"},
    {"TagIndexPastTheEnd", SetWord(kMap.indexOffset + 12, 1000), "", "(1000 entries from offset 2088"},
    {"OnlyOneTag", SetWord(kMap.indexOffset + 12, 1), "", "the tag count is 1;"},
    {"FirstTagIsNoScenario", [](auto& m) { std::copy_n("ejbo", 4, m.bytes.begin() + m.tagOffset); }, "",
     "tag 0 has the class \"obje\""},
    {"ScenarioFieldsPastTheEnd", PointAt(kMap.Entry(0) + 20, kMap.Length() - 1000), "", "the scenario's script fields"},
    {"AlreadyCompiled", SetWord(S + 1160, 1030), "", "already holds compiled scripts (string data size 1030"},
    {"StringDataBelowItsReserve", SetWord(S + 1160, 1000), "", "string data size is 1000"},
    {"StringDataPastTheEnd", PointAt(S + 1172, kMap.Length() - 512), "", "lies outside the file"},
    {"SyntaxDataSmallerThanItsHeader", SetWord(S + 1140, 40), "", "syntax data size 40"},
    {"SyntaxDataPastTheEnd", SetWord(S + 1140, 100000), "", "(offset 3800 (0xED8), 100000 bytes) lies outside"},
    {"SyntaxHeaderPastTheEnd", PointAt(S + 1152, kMap.Length()), "", "syntax data header (node count)"},
    {"SyntaxDataOverlapsTheStrings", SetWord(S + 1140, 1336 + 20), "", "overlaps the string data"},
    {"TagIndexAfterTheStrings",
     [](auto& m) {  // syntax data at 64, string data at 1024, both before the index at 2048
         PointAt(S + 1152, 64)(m);
         SetWord(S + 1140, 236)(m);
         PointAt(S + 1172, 1024)(m);
     },
     "", "does not lie before the end of the string data at 2048"},
    {"TagIndexAfterTag1Data", PointAt(kMap.Entry(1) + 20, kMap.indexOffset), "", "before tag 1's data at 2048"},
    {"Tag1DataInsideTheStrings", PointAt(kMap.Entry(1) + 20, kMap.tail - 4), "",
     "tag 1's data at 6156 (0x180C) lies before the end of the string data"},
    // The parts a compile writes into must lie apart, and before the string data.
    {"ScenarioFieldsInTheMovedTail", MoveScenario(kMap.tail + 64), "",
     "the scenario's script fields ... does not lie before the string data"},
    {"TagIndexInsideTheStrings", MoveIndex(kMap.stringData), "", "the tag index ... does not lie before the string data"},
    {"TagDataAddressOnTheMovedAddress", MoveIndex(S + 1448 - 64 - 20 - 40), "",
     "the tag index ... and the scenario's script fields ... overlap"},
    {"NodesOverTheScenarioFields", PointAt(S + 1152, S + 1000), "", "the scenario's script fields ... and the syntax data"},
    {"NodesOverTheTagIndex", PointAt(S + 1152, kMap.indexOffset - 100), "", "the tag index ... and the syntax data"},
    {"NodesOverTheIndexOffset", PointAt(S + 1152, 0), "", "the header's index offset ... and the syntax data"},
    {"MoreNodesThanTheSyntaxDataHolds", SetWord(S + 1140, 56 + 20 * 8), "", "need 9 syntax nodes, but"},
    // The document.
    {"ScriptNameOf32Bytes", {}, "<s><script NameAttr=\"" + std::string(32, 'n') + "\"><ScriptValue/></script></s>",
     "is 32 bytes long"},
    {"ScriptWithoutExpressions", {}, "<s><script NameAttr=\"idle\"/></s>", "\"idle\" has no expressions"},
    {"ScriptOfCommentsAndStrangers", {}, Body("<!-- later --><Note/>"), "has no expressions"},
    {"ConstantWithArguments", {}, Body("<ScriptValue ValueType=\"8\"><ScriptValue/></ScriptValue>"),
     "element \"ScriptValue\" at line 3, column 1 has child elements"},
    {"StrangerWithArguments", {}, Body("<Note><ScriptValue/></Note>"), "element \"Note\" at line 3"},
    {"IntegerWithLetters", {}, Body("<ScriptCommand EngineId=\"3x\"/>"),
     "element \"ScriptCommand\" at line 3, column 1: attribute \"EngineId\" is \"3x\""},
    {"IntegerPast32Bits", {}, Body("<ScriptValue ValueType=\"8\" Value=\"2147483648\"/>"), "\"Value\" is \"2147483648\""},
    {"RealWithAComma", {}, Body("<ScriptValue ValueType=\"6\" Value=\"1,5\"/>"), "\"Value\" is \"1,5\""},
    {"RealPastAFloat", {}, Body("<GlobalValue ValueType=\"6\" Value=\"1e39\"/>"), "\"Value\" is \"1e39\""},
    {"GlobalBooleanNeitherKeywordNorNumber", {}, Body("<GlobalValue ValueType=\"5\" Value=\"maybe\"/>"),
     "\"Value\" is \"maybe\""},
    // The XML.
    {"EmptyDocument", {}, " \n", "the document is empty"},
    {"MismatchedTag", {}, "<s>\n  <a b=\"1\">\n</s>", "XML error at line 3, column 3: mismatched tag"},
    {"UnclosedElement", {}, "<s>\n<script>", "XML error at line 2"},
    {"DuplicateAttribute", {}, "<s>\n<script a=\"1\" a=\"2\"/></s>", "XML error at line 2"},
    {"TwoRootElements", {}, "<s/>\n<s/>", "XML error at line 2"},
    {"UndefinedEntity", {}, "<s>\n<script NameAttr=\"&nope;\"/></s>", "XML error at line 2"},
    {"RawAmpersand", {}, "<s>\n<script NameAttr=\"a & b\"/></s>", "XML error at line 2"},
};

class Refused : public MapFolder, public ::testing::WithParamInterface<Refusal> {};

TEST_P(Refused, MapStaysAsItWas) {
    const Refusal& refusal = GetParam();
    SyntheticMap map = BuildSyntheticMap();
    if (refusal.breakMap) refusal.breakMap(map);
    const auto path = Save(map);
    try {
        Compile(path, refusal.breakMap ? std::string(kNineNodes) : refusal.document);
        ADD_FAILURE() << "compiled";
    } catch (const Error& e) {
        // Every piece of the message between " ... ".
        for (size_t at = 0, end = 0; end != std::string::npos; at = end + 5) {
            end = refusal.message.find(" ... ", at);
            EXPECT_THAT(e.what(), HasSubstr(refusal.message.substr(at, end - at)));
        }
    }
    EXPECT_TRUE(SameBytes(ReadFileBytes(path), map.bytes));
    EXPECT_EQ(temp.Others(), std::vector<std::string>{"test.map"});
}

INSTANTIATE_TEST_SUITE_P(All, Refused, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return info.param.name; });

TEST_F(Refused, NothingAtTheLimits) {
    SyntheticMap map = BuildSyntheticMap();
    map.SetWord(S + 1140, 56 + 20 * 9);  // room for nine nodes
    const auto path = Save(map);
    const std::string name(31, 'n');
    EXPECT_EQ(Compile(path, "<s><script NameAttr=\"" + name + "\"><ScriptCommand/></script></s>").nodes, 9);
    EXPECT_EQ(Slice(ReadFileBytes(path), kMap.tail + 8, 32), Slice(ScriptRecord(name, 0, 0, 0), 0, 32));
}

TEST_F(Refused, NoMapLoaded) {
    XmlDocument document;
    document.LoadXml(kNineNodes);
    HaloPcMap map;
    const auto noMap = ::testing::ThrowsMessage<Error>(HasSubstr("no map is loaded"));
    EXPECT_THAT([&] { ScriptCompilier().BuildScriptData(map, document); }, noMap);

    const auto path = Save(kMap);
    map.LoadMap(path);
    map.LoadMap([] { return std::filesystem::path(); });  // the choice was cancelled
    EXPECT_TRUE(map.f.empty());
    EXPECT_THAT([&] { ScriptCompilier().BuildScriptData(map, document); }, noMap);
    EXPECT_TRUE(SameBytes(ReadFileBytes(path), kMap.bytes));
}

}  // namespace
}  // namespace tarnfold::testing
