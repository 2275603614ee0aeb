#pragma once

#include <filesystem>

#include "map/MapRewrite.h"

namespace tarnfold {

class BinaryFile;
class HaloPcMap;
class ScriptCompilier;

// Describes the map as it is after the build: the syntax data header and
// nodes patched in place, the scenario's fields set, the texts, reserve,
// padding and script records put in place of the old ones, the rest of the
// file moved behind them, and its addresses relocated.
MapRewrite PlanScriptDataWrite(const ScriptCompilier& build, const HaloPcMap& map, BinaryFile& old);

// Reads back, from the new map at `written`, every byte the rewrite wrote
// itself (the script data, the scenario's fields, the tag index) and throws
// unless each is what the rewrite describes.
void VerifyScriptDataWrite(const MapRewrite& rewrite, BinaryFile& old, const std::filesystem::path& written);

}  // namespace tarnfold
