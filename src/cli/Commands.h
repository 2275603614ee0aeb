#pragma once

#include <iosfwd>
#include <string>

namespace tarnfold::cli {

// Prints what Tarnfold sees in the map at `mapPath`, as text or one JSON object.
void Info(const std::string& mapPath, bool json, std::ostream& out);

// Compiles the script document at `scriptPath` ("-" for standard input) into
// the map at `mapPath` and prints the summary, as text or one JSON object;
// warnings go to `err` either way. A dry run writes nothing.
void Compile(const std::string& mapPath, const std::string& scriptPath, bool dryRun, bool json,
             std::ostream& out, std::ostream& err);

// Prints the map's scripts as a script document, into `outputPath` when it
// is not empty.
void Scripts(const std::string& mapPath, const std::string& outputPath, std::ostream& out);

}  // namespace tarnfold::cli
