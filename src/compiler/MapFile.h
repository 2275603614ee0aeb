#pragma once

#include <filesystem>

#include "map/HaloPcMap.h"
#include "runtime/BinaryFile.h"
#include "scenario/ScriptData.h"

namespace tarnfold {

// A map opened for one operation and read once: its header and tag index,
// its scenario's script data fields, and the open file the rest is read from.
struct MapFile {
    BinaryFile file;
    HaloPcMap map;
    ScriptData data;

    // An empty path is "no map is loaded".
    explicit MapFile(const std::filesystem::path& path);
};

// Throws "no map is loaded" for an empty path: what the window passes before
// a map is loaded.
void RequireMap(const std::filesystem::path& path);

}  // namespace tarnfold
