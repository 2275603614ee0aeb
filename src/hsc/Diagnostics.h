#pragma once

#include <string>
#include <vector>

#include "runtime/Diagnostic.h"

namespace tarnfold::hsc {

// A place in an HSC source, 1-based; columns count bytes.
struct Position {
    int line = 1;
    int column = 1;
};

// The errors of one HSC source, each a line "FILE:LINE:COLUMN: error: WHAT".
using HscError = SourceError;

// Collects the errors of a translation, so that one run reports several.
class Diagnostics {
public:
    // More than this is noise: the first errors are the ones to fix.
    static constexpr size_t kMaxErrors = 20;

    explicit Diagnostics(std::string file) : file_(std::move(file)) {}

    // Records an error; throws HscError with all of them at the limit.
    void Report(Position at, const std::string& what);
    // Throws HscError when any error was recorded.
    void ThrowIfAny() const;
    // Records a warning, "FILE:LINE:COLUMN: warning: WHAT".
    void Warn(Position at, std::string code, const std::string& what);
    const std::vector<Diagnostic>& Warnings() const { return warnings_; }

private:
    std::string file_;
    std::vector<Diagnostic> errors_;
    std::vector<Diagnostic> warnings_;
};

}  // namespace tarnfold::hsc
