#include "HaloMapTypes.h"

#include <QtGlobal>

namespace tarnfold::app {

const FileType& HaloMapTypes::HaloMap() {
    static const FileType type{QT_TRANSLATE_NOOP("HaloMapTypes", "Halo map"), ".map"};
    return type;
}

}  // namespace tarnfold::app
