// Writes a synthetic map for the demo of `make run` and for the benchmarks:
// not a playable map, only the header, tag index and scenario script data
// Tarnfold reads, followed by a tail of tag data of the chosen size.
#include <cstdio>
#include <cstdlib>

#include "SyntheticMap.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: make-demo-map OUT.map [TAIL_MIB]\n");
        return 2;
    }
    tarnfold::SyntheticMapOptions options;
    if (argc == 3) options.tailWords = std::atoi(argv[2]) * (1 << 18);
    tarnfold::BuildSyntheticMap(options).Save(argv[1]);
    return 0;
}
