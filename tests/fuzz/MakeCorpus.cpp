// Writes the seed maps of the map target into FOLDER (tests/fuzz/corpus/map):
// small synthetic maps in the layouts the map builder knows, and one that
// Tarnfold compiled. The seeds are checked in; run this again when the map
// builder changes. The document and number seeds are written by hand.
#include <cstdio>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "compiler/Tarnfold.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-fuzz-corpus FOLDER\n");
        return 2;
    }
    const std::vector<std::pair<const char*, tarnfold::SyntheticMapOptions>> maps = {
        {"head-layout", {}},
        {"other-layout", {.headLayout = false}},
        {"high-bit-magic", {.magic = 0x80001000u}},
        {"two-tags", {.tagCount = 2}},
        {"many-tags", {.tagCount = 9}},
        {"small-capacity", {.nodeCapacity = 12}},
        {"odd-tail", {.tailRemainder = 3}},
        {"another-tool", {.stringDataSize = 1036}},
        {"compiled", {}},
    };
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    for (auto [name, options] : maps) {
        options.tailWords = 48;  // small seeds mutate faster; the layout is what matters
        tarnfold::BuildSyntheticMap(options).Save(folder / name);
    }
    tarnfold::CompileDocument(folder / "compiled", tarnfold::testing::Intro());
    return 0;
}
