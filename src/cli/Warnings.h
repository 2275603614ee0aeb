#pragma once

#include <iosfwd>
#include <vector>

#include "runtime/Diagnostic.h"

namespace tarnfold::cli {

// Lines of warnings shown before the rest is only counted.
inline constexpr size_t kShownWarningLines = 20;

// Prints `warnings` to `err` in the compilers' form, "FILE:LINE:COLUMN:
// warning: WHAT" (unplaced ones as "tarnfold-cli: warning: WHAT"). Unless
// `all`, warnings of the same text are one line that lists their other
// places, and after kShownWarningLines lines the rest is counted.
void PrintWarnings(const std::vector<Diagnostic>& warnings, bool all, std::ostream& err);

// One message as the tool prints it: "FILE:LINE:COLUMN: LEVEL: WHAT" where
// it has a place, else "tarnfold-cli: LEVEL: WHAT", safe for a terminal.
std::string MessageLine(const Diagnostic& message, const char* level);

}  // namespace tarnfold::cli
