#include "HaloMapTypes.h"

namespace tarnfold::app {

const FileType& HaloMapTypes::HaloMap() {
    static const FileType type{"Halo map", ".map"};
    return type;
}

}  // namespace tarnfold::app
