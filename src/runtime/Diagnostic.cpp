#include "runtime/Diagnostic.h"

namespace tarnfold {

namespace {

std::vector<std::string> Lines(const std::vector<Diagnostic>& errors) {
    std::vector<std::string> lines;
    for (const Diagnostic& error : errors) lines.push_back(error.Format("error"));
    return lines;
}

std::string Join(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
    return text;
}

}  // namespace

std::string Diagnostic::Format(std::string_view level) const {
    if (Placed() && !file.empty())
        return file + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " + std::string(level) + ": " + text;
    // Before the front door names the file: the place in words.
    if (Placed()) return "line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + text;
    return file.empty() ? text : file + ": " + text;
}

SourceError::SourceError(std::vector<Diagnostic> errors)
    : Error(Join(Lines(errors))), errors_(std::move(errors)) {}

std::vector<std::string> SourceError::Messages() const { return Lines(errors_); }

SourceError SourceError::In(const std::string& file) const {
    std::vector<Diagnostic> named = errors_;
    for (Diagnostic& error : named)
        if (error.file.empty()) error.file = file;
    return SourceError(std::move(named));
}

}  // namespace tarnfold
