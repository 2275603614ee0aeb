#pragma once

#include <filesystem>

#include "compiler/ScriptBuild.h"

namespace tarnfold {

class HaloPcMap;
struct ScriptData;

// The checks of a compile around its build, in the order it makes them.

// Refuses a build that the scenario's syntax data or the game cannot hold.
void CheckLimits(const ScriptBuild& build, const ScriptData& data);

// Refuses a compile whose build gave warnings when strict checking is on.
void CheckStrict(const ScriptBuild& build, bool strict);

// The scripts of the new map at `written`, read back and built again, must
// be the bytes `build` made: a compile never leaves a map whose scripts
// `scripts` could not give back exactly.
void VerifyReadBack(const ScriptBuild& build, const HaloPcMap& map, const std::filesystem::path& written);

}  // namespace tarnfold
