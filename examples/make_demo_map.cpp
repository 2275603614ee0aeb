// Writes a small synthetic map for the demo of `make run`: not a playable
// map, only the header, tag index and scenario script data Tarnfold reads.
#include <cstdio>

#include "SyntheticMap.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-demo-map OUT.map\n");
        return 2;
    }
    tarnfold::testing::BuildSyntheticMap().Save(argv[1]);
    return 0;
}
