// Documents built to hurt: nesting far past any script, tens of megabytes,
// and entity tricks. Each is refused clearly or compiled soundly, with the
// map untouched on refusal (tarnfold::fuzz::CompileAndCheck).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "CompileCheck.h"
#include "SyntheticMap.h"

namespace tarnfold::robustness {
namespace {

using testing::TempFolder;

using ::testing::HasSubstr;

fuzz::Outcome Compile(const std::string& document) {
    TempFolder folder;
    const auto map = testing::BuildSyntheticMap({.nodeCapacity = 600});
    map.Save(folder / "m.map");
    return fuzz::CompileAndCheck(folder / "m.map", document);
}

std::string Nested(int depth) {
    std::string document = "<s><x NameAttr=\"deep\">";
    for (int i = 0; i < depth; ++i) document += "<ScriptCommand Command=\"f\" EngineId=\"1\" ValueType=\"2\">";
    for (int i = 0; i < depth; ++i) document += "</ScriptCommand>";
    return document + "</x></s>";
}

TEST(HostileDocument, NestingIsRefusedPastAFewHundredLevelsWithoutOverflowingTheStack) {
    EXPECT_THAT(Compile(Nested(100000)).refusal,
                HasSubstr("XML error at line 1, column 13739: elements are nested deeper than 256 levels"));
    // Deep, but within the bound: compiles (the builder recurses once per level).
    EXPECT_TRUE(Compile(Nested(250)).compiled);
}

TEST(HostileDocument, FiftyMegabyteDocumentsCompileOrAreRefusedForCapacity) {
    constexpr size_t k50MB = size_t{50} << 20;
    // One text of 50 MB: compiled, the map grows by as much.
    const std::string text = R"(<s><x NameAttr="big"><ScriptCommand Command=")" + std::string(k50MB, 't') +
                             R"(" EngineId="1" ValueType="2"/></x></s>)";
    EXPECT_TRUE(Compile(text).compiled);

    // 50 MB of expressions: far more nodes than a scenario holds.
    const std::string value = R"(<ScriptValue ValueType="8" Value="1"/>)";
    std::string many = R"(<s><x NameAttr="many">)";
    many.reserve(k50MB + 64);
    while (many.size() < k50MB) many += value;
    EXPECT_THAT(Compile(many + "</x></s>").refusal, HasSubstr("syntax nodes, but the scenario's syntax data holds at most 600"));
}

TEST(HostileDocument, EntityTricksAreRefused) {
    const std::string laughs = R"(<?xml version="1.0"?>
<!DOCTYPE s [<!ENTITY a "ha"><!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;"><!ENTITY c "&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;">
<!ENTITY d "&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;"><!ENTITY e "&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;">]>
<s><x NameAttr="&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;"><ScriptValue ValueType="8" Value="1"/></x></s>)";
    EXPECT_THAT(Compile(laughs).refusal, HasSubstr("entity declarations are not allowed (\"a\")"));

    const std::string parameter = R"(<!DOCTYPE s [<!ENTITY % p "<!ENTITY q 'x'>"> %p;]><s/>)";
    EXPECT_THAT(Compile(parameter).refusal, HasSubstr("entity declarations are not allowed"));

    // Behind an external DTD, expat drops undefined entities in attributes
    // silently: this compiled the script with an empty name.
    const std::string external = R"(<!DOCTYPE s SYSTEM "names.dtd"><s><x NameAttr="&n;"><ScriptValue/></x></s>)";
    EXPECT_THAT(Compile(external).refusal, HasSubstr("external document type definitions are not allowed"));
    const std::string declared = R"(<!DOCTYPE s [<!ENTITY f SYSTEM "/etc/passwd">]><s><x NameAttr="&f;"/></s>)";
    EXPECT_THAT(Compile(declared).refusal, HasSubstr("entity declarations are not allowed (\"f\")"));
}

}  // namespace
}  // namespace tarnfold::robustness
