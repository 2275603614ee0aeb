#include "compiler/MapFile.h"

#include "compiler/ScriptCompilier.h"
#include "runtime/Error.h"

namespace tarnfold {

void RequireMap(const std::filesystem::path& path) {
    if (path.empty()) throw Error("no map is loaded: load a map first");
}

static const std::filesystem::path& Required(const std::filesystem::path& path) {
    RequireMap(path);
    return path;
}

MapFile::MapFile(const std::filesystem::path& path) : file(Required(path), "map file") {
    map.LoadMap(file);
    data = ScriptCompilier::LoadScriptData(map, file);
}

}  // namespace tarnfold
