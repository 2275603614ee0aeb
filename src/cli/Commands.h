#pragma once

#include <iosfwd>
#include <string>

namespace tarnfold::cli {

// Prints what Tarnfold sees in the map at `mapPath`, as text or one JSON object.
void Info(const std::string& mapPath, bool json, std::ostream& out);

// Compiles the script document at `scriptPath` ("-" for standard input) into
// the map at `mapPath` and prints the summary, as text or one JSON object;
// warnings go to `err` as they arise, also when the compile then fails.
struct CompileFlags {
    bool dryRun = false;
    bool strict = false;  // warnings refuse the compile
    bool json = false;
};
void Compile(const std::string& mapPath, const std::string& scriptPath, const CompileFlags& flags,
             std::ostream& out, std::ostream& err);

// Prints the map's scripts as a script document, into `outputPath` when it
// is not empty.
void Scripts(const std::string& mapPath, const std::string& outputPath, std::ostream& out);

}  // namespace tarnfold::cli
