#pragma once

#include <filesystem>

#include "runtime/Xml.h"

namespace tarnfold {

class HaloPcMap;

// Reads the scripts that a compile wrote into `file` (the map's own file, or
// a new map about to replace it) back into a script document tree.
XmlNode ReadScriptDocument(const HaloPcMap& map, const std::filesystem::path& file);

}  // namespace tarnfold
