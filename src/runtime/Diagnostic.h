#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "runtime/Error.h"

namespace tarnfold {

// One thing a compile says, a warning or an error: where in the script
// (when it is about a place in it), what kind of finding, and what.
struct Diagnostic {
    std::string file;  // the script's name: its file, "<stdin>", the window's script
    int line = 0;      // 1-based; 0 when it names no place
    int column = 0;    // 1-based, in bytes
    std::string code;  // the kind, for tools: "unread-attribute", "game-load"
    std::string text;  // what, for the modder

    bool Placed() const { return line > 0; }
    // "FILE:LINE:COLUMN: LEVEL: TEXT" for a place in a named file, the form
    // compilers use and editors jump to; "FILE: TEXT" for the file as a
    // whole; TEXT alone otherwise.
    std::string Format(std::string_view level) const;
};

// Errors at places in a script, each "FILE:LINE:COLUMN: error: TEXT" once
// the script's file is known.
class SourceError : public Error {
public:
    explicit SourceError(std::vector<Diagnostic> errors);
    const std::vector<Diagnostic>& Errors() const { return errors_; }
    // Each error as a line.
    std::vector<std::string> Messages() const;
    // The same errors, those that name no file naming `file`.
    SourceError In(const std::string& file) const;

private:
    std::vector<Diagnostic> errors_;
};

}  // namespace tarnfold
