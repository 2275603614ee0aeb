#pragma once

#include "runtime/Xml.h"
#include "scenario/CompiledScripts.h"

namespace tarnfold {

struct MapFile;

// Reads the scripts of an opened map back into a script document tree:
// the inverse of the builders, so that compiling the document again gives
// the same bytes. Refuses, naming the script and node, what no compile
// writes.
XmlNode ReadScriptDocument(MapFile& map);
// The same from `compiled`, the map's scripts as ReadCompiledScripts gave
// them, for a caller that needs them as well.
XmlNode ReadScriptDocument(const MapFile& map, CompiledScripts compiled);

// The compiled scripts of an opened map; messages name the map.
CompiledScripts ReadCompiledScripts(MapFile& map);

}  // namespace tarnfold
