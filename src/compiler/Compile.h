#pragma once

#include <filesystem>
#include <vector>

#include "compiler/CompileOptions.h"
#include "compiler/ScriptBuild.h"
#include "engine/Engine.h"
#include "scenario/CompiledScripts.h"
#include "scenario/Level.h"

namespace tarnfold {

class HaloPcMap;
struct ScriptData;

// The checks of a compile around its build, in the order it makes them.

// Refuses a build that the scenario's syntax data or the game cannot hold.
void CheckLimits(const ScriptBuild& build, const ScriptData& data);

// The build as the game will load it from a syntax data of `syntaxDataSize`
// bytes.
CompiledScripts AsCompiled(const ScriptBuild& build, int32_t syntaxDataSize);

// The game's load pass over `scripts`, for `engine`, into `level`; where
// `sources` gives the document element that made a node, a failure there
// names the element. With `warnings`, each failure is also added to them as
// a warning, at its element's place where it has one.
LoadCheck CheckGameLoad(const CompiledScripts& scripts, const Level& level, Engine engine,
                        const std::vector<const XmlNode*>& sources = {}, std::vector<Diagnostic>* warnings = nullptr);

// Refuses a compile whose build gave warnings when strict checking is on.
void CheckStrict(const ScriptBuild& build, bool strict);

// The scripts of the new map at `written`, read back and built again, must
// be the bytes `build` made: a compile never leaves a map whose scripts
// `scripts` could not give back exactly.
void VerifyReadBack(const ScriptBuild& build, const HaloPcMap& map, const std::filesystem::path& written);

}  // namespace tarnfold
