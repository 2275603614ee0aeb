#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "compiler/CompileOptions.h"
#include "engine/Engine.h"
#include "runtime/Diagnostic.h"

namespace tarnfold::cli {

// Prints what Tarnfold sees in the map at `mapPath`, as text or one JSON object.
void Info(const std::string& mapPath, bool json, std::ostream& out);

// How `compile` reads its source, checks it and what it prints.
struct CompileFlags {
    std::string format;             // "hsc", "xml", or empty: by the extension (.hsc)
    std::optional<Engine> engine;   // when the map's header names no game
    bool dryRun = false;
    bool strict = false;            // warnings refuse the compile
    bool replaceForeign = false;    // replace the scripts another tool compiled
};

// Compiles the script document or HSC source at `scriptPath` ("-" for
// standard input) into the map at `mapPath`. The warnings are added to
// `warnings` as they arise, for the caller to print, also when the compile
// then fails; notes go to `err` at once. A dry run writes nothing.
CompileSummary Compile(const std::string& mapPath, const std::string& scriptPath, const CompileFlags& flags,
                       std::vector<Diagnostic>& warnings, std::ostream& err);
// Prints what a compile did, as text or one JSON object.
void PrintSummary(const CompileSummary& summary, bool json, std::ostream& out);

// Runs the game's load pass over the map's scripts and prints what would
// fail, as text or one JSON object. Returns true when the game loads them.
bool Check(const std::string& mapPath, bool json, std::ostream& out);

// Prints the script document that the HSC source at `sourcePath` ("-" for
// standard input) translates into for `engine`.
void Translate(const std::string& sourcePath, Engine engine, std::ostream& out);

// Prints the map's scripts as a script document, into `outputPath` when it
// is not empty.
void Scripts(const std::string& mapPath, const std::string& outputPath, bool hsc, std::optional<Engine> engine,
             std::ostream& out);

}  // namespace tarnfold::cli
