#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "engine/Engine.h"

namespace tarnfold::cli {

// Prints what Tarnfold sees in the map at `mapPath`, as text or one JSON object.
void Info(const std::string& mapPath, bool json, std::ostream& out);

// How `compile` reads its source, checks it and what it prints.
struct CompileFlags {
    std::string format;             // "hsc", "xml", or empty: by the extension (.hsc)
    std::optional<Engine> engine;   // when the map's header names no game
    bool dryRun = false;
    bool strict = false;            // warnings refuse the compile
    bool json = false;
    bool replaceForeign = false;    // replace the scripts another tool compiled
};

// Compiles the script document or HSC source at `scriptPath` ("-" for
// standard input) into the map at `mapPath` and prints the summary, as text or
// one JSON object; warnings go to `err` as they arise, also when the compile
// then fails. A dry run writes nothing.
void Compile(const std::string& mapPath, const std::string& scriptPath, const CompileFlags& flags,
             std::ostream& out, std::ostream& err);

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
