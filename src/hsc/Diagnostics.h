#pragma once

#include <string>
#include <vector>

#include "runtime/Error.h"

namespace tarnfold::hsc {

// A place in an HSC source, 1-based; columns count bytes.
struct Position {
    int line = 1;
    int column = 1;
};

// The errors of one HSC source, each a line "FILE:LINE:COLUMN: error: WHAT".
class HscError : public Error {
public:
    explicit HscError(std::vector<std::string> messages);
    const std::vector<std::string>& Messages() const { return messages_; }

private:
    std::vector<std::string> messages_;
};

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
    void Warn(Position at, const std::string& what);
    const std::vector<std::string>& Warnings() const { return warnings_; }

private:
    std::string file_;
    std::vector<std::string> messages_;
    std::vector<std::string> warnings_;
};

}  // namespace tarnfold::hsc
