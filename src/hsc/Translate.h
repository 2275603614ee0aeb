#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "hsc/Diagnostics.h"
#include "engine/Tables.h"
#include "runtime/Xml.h"
#include "scenario/Level.h"

namespace tarnfold::hsc {

// HSC sources are read up to this size. The largest scripts of the game's
// own levels are a few hundred KB; the bound keeps a hostile input's memory
// small, and a source at it translates in well under 256 MB.
constexpr size_t kMaxSourceBytes = size_t{16} << 20;

// A translation and the warnings it gave, each at its place in the source.
struct Translation {
    XmlNode document;
    std::vector<Diagnostic> warnings;
};

// HSC source into the script document tree that the XML reader gives for the
// equivalent document: a root "scripts" holding a "ScenarioGlobal" element
// per global and a "script" element per script, in source order, whose
// expressions are ScriptCommand, ScriptValue, GlobalValue and ScriptCall
// elements with the target's numbers. Names of the level are checked against
// `level` where given. Refuses a source larger than kMaxSourceBytes, and one
// with no script. Throws HscError with every error found (at most
// Diagnostics::kMaxErrors), each naming `fileName`, line and column.
Translation Translate(std::string_view source, const std::string& fileName, Engine engine,
                      const Level* level = nullptr);

}  // namespace tarnfold::hsc
