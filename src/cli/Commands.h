#pragma once

#include <iosfwd>
#include <string>

namespace tarnfold::cli {

// Prints what Tarnfold sees in the map at `mapPath`.
void Info(const std::string& mapPath, std::ostream& out);

// Compiles the script document at `scriptPath` ("-" for standard input) into
// the map at `mapPath`; warnings go to `err`.
void Compile(const std::string& mapPath, const std::string& scriptPath, std::ostream& out, std::ostream& err);

}  // namespace tarnfold::cli
