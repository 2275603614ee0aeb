#pragma once

#include <string>
#include <string_view>

#include "hsc/Diagnostics.h"
#include "engine/Tables.h"
#include "runtime/Xml.h"

namespace tarnfold::hsc {

// HSC source into the script document tree that the XML reader gives for the
// equivalent document: a root "scripts" holding one "script" element per
// script, whose body is ScriptCommand, ScriptValue and GlobalValue elements
// with the target's numbers. Throws HscError with every error found (at most
// Diagnostics::kMaxErrors), each naming `fileName`, line and column.
XmlNode Translate(std::string_view source, const std::string& fileName, Engine engine);

}  // namespace tarnfold::hsc
