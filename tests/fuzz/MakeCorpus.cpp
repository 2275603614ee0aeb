// Writes the seed maps of the map target into FOLDER (tests/fuzz/corpus/map):
// small synthetic maps in the layouts the map builder knows. The seeds are
// checked in; run this again when the map builder changes. The document and
// number seeds are plain text files, written by hand.
#include <cstdio>
#include <filesystem>
#include <utility>
#include <vector>

#include "SyntheticMap.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-fuzz-corpus FOLDER\n");
        return 2;
    }
    using Options = tarnfold::testing::SyntheticMapOptions;
    const std::vector<std::pair<const char*, Options>> maps = {
        {"head-layout", {}},
        {"other-layout", {.headLayout = false}},
        {"high-bit-magic", {.magic = 0x80001000u}},
        {"two-tags", {.tagCount = 2}},
        {"many-tags", {.tagCount = 9}},
        {"small-capacity", {.nodeCapacity = 12}},
        {"odd-tail", {.tailRemainder = 3}},
        {"already-compiled", {.stringDataSize = 1036}},
    };
    std::filesystem::create_directories(argv[1]);
    for (auto [name, options] : maps) {
        options.tailWords = 48;  // small seeds mutate faster; the layout is what matters
        tarnfold::testing::BuildSyntheticMap(options).Save(std::filesystem::path(argv[1]) / name);
    }
    return 0;
}
