#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "hsc/Diagnostics.h"
#include "engine/Tables.h"
#include "runtime/Xml.h"
#include "scenario/Level.h"

namespace tarnfold::hsc {

// A translation and the warnings it gave, each "FILE:LINE:COLUMN: warning: WHAT".
struct Translation {
    XmlNode document;
    std::vector<std::string> warnings;
};

// HSC source into the script document tree that the XML reader gives for the
// equivalent document: a root "scripts" holding a "ScenarioGlobal" element
// per global and a "script" element per script, in source order, whose
// expressions are ScriptCommand, ScriptValue, GlobalValue and ScriptCall
// elements with the target's numbers. Names of the level are checked against
// `level` where given. Throws HscError with every error found (at most
// Diagnostics::kMaxErrors), each naming `fileName`, line and column.
Translation Translate(std::string_view source, const std::string& fileName, Engine engine,
                      const Level* level = nullptr);

}  // namespace tarnfold::hsc
