#pragma once

#include <string>

namespace tarnfold::app {

struct FileType {
    std::string Name;
    std::string Extensions;
};

// The file types Tarnfold opens: Halo PC maps.
struct HaloMapTypes {
    static const FileType& HaloMap();
};

}  // namespace tarnfold::app
