#pragma once

#include <string>
#include <vector>

#include "engine/Tables.h"
#include "runtime/Diagnostic.h"
#include "runtime/Xml.h"

namespace tarnfold::engine {

// Checks what a script document says of each function it calls against the
// engine's tables: the EngineId, the ValueType (the return type or a type it
// converts to) and the argument count. Names the game does not know are the
// load check's (LoadCheck.h). Returns one warning per finding; the document
// is not changed.
std::vector<Diagnostic> CheckNames(const XmlNode& root, Engine target);

}  // namespace tarnfold::engine
