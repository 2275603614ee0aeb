#pragma once

#include <filesystem>

#include "compiler/ScriptBuild.h"
#include "map/MapRewrite.h"

namespace tarnfold {

class BinaryFile;
class HaloPcMap;
struct ScriptData;

// Describes the map as it is after the build: the syntax data header and
// nodes patched in place, the scenario's fields set, the texts, reserve,
// padding and records put in place of the old ones, the rest of the file
// moved behind them, and its addresses relocated. Refuses a map whose
// addresses the relocation cannot move safely.
MapRewrite PlanScriptDataWrite(const ScriptBuild& build, const ScriptData& data, const HaloPcMap& map,
                                    BinaryFile& old);

// Reads back, from the new map at `written`, every byte the rewrite wrote
// itself (the script data, the scenario's fields, the tag index) and throws
// unless each is what the rewrite describes.
void VerifyScriptDataWrite(const MapRewrite& rewrite, BinaryFile& old, const std::filesystem::path& written);

}  // namespace tarnfold
