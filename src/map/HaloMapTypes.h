#pragma once

#include <string>

namespace tarnfold {

struct FileType {
    std::string Name;
    std::string Extensions;
    std::string MacType;
    std::string MacCreator;
};

// The file types Tarnfold opens: Halo PC maps.
struct HaloMapTypes {
    static const FileType& HaloMap();
};

}  // namespace tarnfold
