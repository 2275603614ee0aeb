// Writes a synthetic map for the demo of `make run`, the tests and the
// benchmarks: not a playable map, only the header, tag index and scenario
// script data Tarnfold reads, followed by a tail of tag data of the chosen
// size; optionally with raw data before the tag index, as real maps have.
#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdio>
#include <exception>
#include <string>

#include "SyntheticMap.h"

int main(int argc, char** argv) {
    CLI::App app{"Writes a synthetic map (not a playable one). With the defaults it is about 390 KiB: "
                 "a 2048-byte header, the tag index, a scenario with the names the examples use, its script "
                 "data with room for the game's 19,001 nodes, and 4 KiB of tag data.",
                 "make-demo-map"};
    app.allow_windows_style_options(false);  // "/path/x.map" is a path on every system
    std::string out;
    double tailMib = -1, rawMib = 0;
    tarnfold::SyntheticMapOptions options;
    options.nodeCapacity = 19001;
    // The names examples/intro.hsc and examples/mission.hsc refer to.
    options.level.encounters = {{"first_wave", {"grunts", "jackals"}, {"left"}}, {"extra", {"elites"}, {}}};
    options.level.triggerVolumes = {"entry", "bridge"};
    options.level.objectNames = {{"pelican", 1}, {"keyes", 0}};
    app.add_option("OUT.map", out, "The map to write (replaced if it exists)")->required();
    app.add_option("--tail-mib", tailMib, "MiB of tag data after the script data; fractions allowed (default: 4 KiB)")
        ->check(CLI::Range(0.0, 1536.0));
    app.add_option("--raw-mib", rawMib,
                   "MiB of raw data between the header and the tag index, as real maps hold their "
                   "models and structures; 0 puts the tag index right after the header")
        ->check(CLI::Range(0.0, 1536.0))
        ->capture_default_str();
    app.add_option("--nodes", options.nodeCapacity, "Script nodes the syntax data holds")
        ->check(CLI::Range(1, 32767))
        ->capture_default_str();
    CLI11_PARSE(app, argc, argv);

    if (out.starts_with("-")) {
        std::fprintf(stderr, "make-demo-map: '%s' looks like an option, not a map to write; "
                             "name it ./%s to write it\n", out.c_str(), out.c_str());
        return 2;
    }
    const auto words = [](double mib) { return static_cast<int64_t>(std::llround(mib * (1 << 18))); };
    if (tailMib >= 0) options.tailWords = static_cast<int32_t>(words(tailMib));
    options.rawDataSize = static_cast<int32_t>(4 * words(rawMib));
    if (4 * int64_t{options.tailWords} + options.rawDataSize > (int64_t{1536} << 20)) {
        std::fprintf(stderr, "make-demo-map: a map of more than 1536 MiB of tag and raw data is more than its "
                             "32-bit offsets can reach after a compile\n");
        return 2;
    }
    try {
        tarnfold::BuildSyntheticMap(options).Save(out);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make-demo-map: %s\n", e.what());
        return 1;
    }
    return 0;
}
