#pragma once

#include "map/MapRewrite.h"

namespace tarnfold {

class BinaryFile;
class HaloPcMap;
class ScriptCompilier;

// Describes the map as it is after the build: the syntax data header and
// nodes patched in place, the scenario's fields set, the texts, reserve,
// padding and script records inserted at the string data, the rest of the
// file moved behind them, and its addresses relocated.
MapRewrite PlanScriptDataWrite(const ScriptCompilier& build, const HaloPcMap& map, BinaryFile& old);

}  // namespace tarnfold
