// Writes the seed corpora of the fuzz targets into FOLDER/<target>/. The seeds
// are checked in; run this again when the map builder or the vocabulary
// changes:  make-fuzz-corpus tests/fuzz/corpus
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "SyntheticMap.h"

namespace {

using tarnfold::testing::BuildSyntheticMap;
using tarnfold::testing::SyntheticMapOptions;

void Write(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string MapBytes(SyntheticMapOptions options) {
    options.tailWords = 48;  // small seeds mutate faster; the layout is what matters
    const auto map = BuildSyntheticMap(options);
    return std::string(map.bytes.begin(), map.bytes.end());
}

const std::vector<std::pair<const char*, SyntheticMapOptions>> kMaps = {
    {"head-layout", {}},
    {"other-layout", {.headLayout = false}},
    {"high-bit-magic", {.magic = 0x80001000u}},
    {"two-tags", {.tagCount = 2}},
    {"many-tags", {.tagCount = 9}},
    {"small-capacity", {.nodeCapacity = 12}},
    {"odd-tail", {.tailRemainder = 3}},
    {"already-compiled", {.stringDataSize = 1036}},
};

const std::vector<std::pair<const char*, std::string>> kDocuments = {
    {"intro",
     R"(<scripts><script NameAttr="intro" TypeAttr="1" ReTypeAttr="4">
  <ScriptCommand Command="alpha" EngineId="3" ValueType="4">
    <ScriptValue ValueType="7" Value="30"/>
    <GlobalValue ValueType="11" Value="2" ValueCommand="beta"/>
  </ScriptCommand>
  <ScriptValue ValueType="5" Value="true"/>
  <ScriptValue ValueType="6" Value="0.25"/>
</script></scripts>)"},
    {"two-scripts",
     R"(<s><a NameAttr="one"><ScriptValue ValueType="8" Value="-1"/></a><!-- between -->
<b NameAttr="two" TypeAttr="2" ReTypeAttr="5"><GlobalValue ValueType="5" Value="false" ValueCommand="g"/></b></s>)"},
    {"nested",
     R"(<s><x NameAttr="n"><ScriptCommand Command="outer" EngineId="1" ValueType="2"><ScriptCommand Command="inner" EngineId="2" ValueType="3"><ScriptValue ValueType="0" Value="text"/></ScriptCommand><!-- c --><GlobalValue ValueType="5" Value="7" ValueCommand="glob"/></ScriptCommand></x></s>)"},
    {"unknown-element", R"(<s><x NameAttr="u"><Note/><ScriptValue ValueType="6" Value="1e3"/></x></s>)"},
    {"empty-root", "<scripts/>"},
    {"empty-script", R"(<s><x NameAttr="e"/></s>)"},
    {"long-name", R"(<s><x NameAttr="a_name_that_is_longer_than_31_bytes"><ScriptValue ValueType="8" Value="1"/></x></s>)"},
    {"bad-number", R"(<s><x NameAttr="b" TypeAttr="0x10"><ScriptValue ValueType="7" Value="70000"/></x></s>)"},
    {"entity", R"(<!DOCTYPE s [<!ENTITY a "aaaa">]><s><x NameAttr="&a;"><ScriptValue ValueType="8" Value="1"/></x></s>)"},
    {"external-dtd", R"(<!DOCTYPE s SYSTEM "names.dtd"><s><x NameAttr="&n;"><ScriptValue/></x></s>)"},
};

// One command with more arguments than the document target's map holds nodes.
std::string OverCapacity() {
    std::string document = R"(<s><x NameAttr="c"><ScriptCommand Command="f" EngineId="1" ValueType="2">)";
    for (int i = 0; i < 60; ++i) document += R"(<ScriptValue ValueType="8" Value=")" + std::to_string(i) + R"("/>)";
    return document + "</ScriptCommand></x></s>";
}

const std::vector<const char*> kNumbers = {
    "0", "-2147483648", "2147483647", "2147483648", " 12\t", "+7", "-", "1.", ".5", "2e3",
    "-1.5E-7", "3.4028235e38", "1e39", "inf", "nan", "0x10", "1,5", "true", " FALSE ", "",
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-fuzz-corpus FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    for (const auto& [name, options] : kMaps) Write(folder / "map" / name, MapBytes(options));
    for (const auto& [name, text] : kDocuments) Write(folder / "document" / name, text);
    Write(folder / "document" / "over-capacity", OverCapacity());
    for (size_t i = 0; i < kNumbers.size(); ++i)
        Write(folder / "numbers" / ("seed-" + std::to_string(i)), kNumbers[i]);
    return 0;
}
