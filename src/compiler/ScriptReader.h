#pragma once

#include "runtime/Xml.h"

namespace tarnfold {

struct MapFile;

// Reads the scripts of an opened map back into a script document tree:
// the inverse of the builders, so that compiling the document again gives
// the same bytes. Refuses, naming the script and node, what no compile
// writes.
XmlNode ReadScriptDocument(MapFile& map);

}  // namespace tarnfold
