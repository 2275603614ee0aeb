#pragma once

#include <string>
#include <vector>

#include "engine/Tables.h"
#include "runtime/Xml.h"

namespace tarnfold::engine {

// Checks a script document against the engine's tables, as the game will
// when it loads the map: every ScriptCommand's function name (it must exist
// in the target; a Custom Edition-only one crashes the retail game), its
// EngineId, its ValueType and its argument count, and every GlobalValue's
// name. Returns one warning per finding; the document is not changed.
std::vector<std::string> CheckNames(const XmlNode& root, Engine target);

}  // namespace tarnfold::engine
