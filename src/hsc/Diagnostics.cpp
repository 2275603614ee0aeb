#include "hsc/Diagnostics.h"

namespace tarnfold::hsc {

namespace {

std::string Join(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
    return text;
}

}  // namespace

HscError::HscError(std::vector<std::string> messages) : Error(Join(messages)), messages_(std::move(messages)) {}

void Diagnostics::Report(Position at, const std::string& what) {
    messages_.push_back(file_ + ":" + std::to_string(at.line) + ":" + std::to_string(at.column) + ": error: " + what);
    if (messages_.size() >= kMaxErrors) {
        std::vector<std::string> shown = messages_;
        shown.push_back(file_ + ": stopped after " + std::to_string(kMaxErrors) + " errors");
        throw HscError(std::move(shown));
    }
}

void Diagnostics::Warn(Position at, const std::string& what) {
    warnings_.push_back(file_ + ":" + std::to_string(at.line) + ":" + std::to_string(at.column) + ": warning: " + what);
}

void Diagnostics::ThrowIfAny() const {
    if (!messages_.empty()) throw HscError(messages_);
}

}  // namespace tarnfold::hsc
