#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "runtime/Diagnostic.h"

namespace tarnfold {

// Receives a note as soon as it arises.
using MessageCallback = std::function<void(const std::string&)>;
// Receives a warning as soon as it arises, so that the tools can show it
// even when the compile then fails.
using WarningCallback = std::function<void(const Diagnostic&)>;

// How a compile runs.
struct CompileOptions {
    bool dryRun = false;  // every check and the whole build, nothing written
    bool strict = false;  // any warning refuses the compile
    WarningCallback onWarning;
    MessageCallback onWait;        // the map is locked by another compile: this one waits
    MessageCallback onNote;        // what the compile is about to replace, said before it writes
    std::optional<Engine> engine;  // --engine: the target when the map's header names none
    // Replaces the scripts of a map that another tool compiled; without it
    // such a compile is refused, so that nobody loses a level's scripts.
    bool replaceForeign = false;
    // What messages call a script document: its file, "<stdin>", the
    // window's script. (HSC is named where it is compiled.)
    std::string documentName = "<document>";
};

// What the game would say of a map's scripts when it loads the map.
struct LoadCheck {
    bool checked = false;                // false: the scripts could not be read to check them
    bool loads = true;                   // the game would load every script
    std::vector<std::string> failures;   // each "script NAME, node N: WHAT", the size gate first
    std::vector<std::string> unchecked;  // what could not be checked, and why
};

// What a compile did, for the tools to report.
struct CompileSummary {
    int32_t scripts = 0;
    int32_t nodes = 0;
    int32_t nodeCapacity = 0;
    int32_t textBytes = 0;       // L: the texts stored, zero bytes included
    int32_t growth = 0;          // G: how far the rest of the map moved (negative: back)
    int64_t relocatedWords = 0;  // tag index entries and scanned words rewritten
    bool recompiled = false;     // the map held scripts of an earlier compile
    std::string replaced;        // what another tool compiled that the compile replaced
    bool dryRun = false;         // nothing was written
    Engine engine = Engine::Custom;  // the game the names were checked against
    std::string target;          // that game, and why: "retail (the map's header says version 7)"
    std::string targetReason;    // why alone: "the map's header says version 7"
    LoadCheck check;             // the game's load pass over the scripts as written
    std::vector<Diagnostic> warnings;
};

}  // namespace tarnfold
