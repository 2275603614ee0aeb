#include "map/HaloMapTypes.h"

namespace tarnfold {

const FileType& HaloMapTypes::HaloMap() {
    static const FileType type{"Halo map", ".map", "???", "???"};
    return type;
}

}  // namespace tarnfold
