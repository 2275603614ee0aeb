#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "compiler/hsc/Engine.h"

namespace tarnfold::cli {

// Prints what Tarnfold sees in the map at `mapPath`, as text or one JSON object.
void Info(const std::string& mapPath, bool json, std::ostream& out);

// How `compile` reads its source and which game it checks names against.
struct SourceOptions {
    std::string format;             // "hsc", "xml", or empty: by the extension (.hsc)
    std::optional<Engine> engine;   // when the map's header names no game
};

// Compiles the script document or HSC source at `scriptPath` ("-" for
// standard input) into the map at `mapPath` and prints the summary, as text or
// one JSON object; warnings go to `err` either way. A dry run writes nothing.
void Compile(const std::string& mapPath, const std::string& scriptPath, const SourceOptions& source, bool dryRun,
             bool json, std::ostream& out, std::ostream& err);

// Prints the script document that the HSC source at `sourcePath` ("-" for
// standard input) translates into for `engine`.
void Translate(const std::string& sourcePath, Engine engine, std::ostream& out);

// Prints the map's scripts as a script document, into `outputPath` when it
// is not empty.
void Scripts(const std::string& mapPath, const std::string& outputPath, std::ostream& out);

}  // namespace tarnfold::cli
