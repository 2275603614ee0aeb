#pragma once

#include <string>
#include <vector>

#include "engine/Engine.h"
#include "scenario/CompiledScripts.h"
#include "scenario/Level.h"

namespace tarnfold::engine {

// The syntax data size the game loads scripts from: a 56-byte header and
// 19,001 nodes. It ignores a syntax table of any other size.
constexpr int32_t kGameSyntaxDataSize = 380076;

// One thing that makes the game drop every script of the map: where it is
// (a script's or a global's node, or none for the syntax data) and what.
struct LoadFailure {
    std::string owner;  // "script NAME", "global NAME", or empty
    int32_t node = -1;
    std::string what;

    // "script NAME, node N: WHAT"
    std::string Text() const;
};

// What the game's load pass would say of a scenario's scripts.
struct LoadReport {
    std::vector<LoadFailure> failures;  // the syntax data's size first
    std::vector<std::string> unchecked;  // what could not be checked and why, each said once
};

// Runs the game's load pass over `scripts`, as `engine` loads them into
// `level`: the size gate, then every node a record leads to (links and
// identities, flags, text offsets), functions and globals found by name,
// names of the level found by their text, tag constants kept as stored, and
// the targets of script calls.
LoadReport CheckLoad(const CompiledScripts& scripts, const Level& level, Engine engine);

}  // namespace tarnfold::engine
