#include "hsc/Diagnostics.h"

namespace tarnfold::hsc {

void Diagnostics::Report(Position at, const std::string& what) {
    errors_.push_back({file_, at.line, at.column, "hsc", what});
    if (errors_.size() >= kMaxErrors) {
        std::vector<Diagnostic> shown = errors_;
        shown.push_back({file_, 0, 0, "hsc", "stopped after " + std::to_string(kMaxErrors) + " errors"});
        throw HscError(std::move(shown));
    }
}

void Diagnostics::Warn(Position at, std::string code, const std::string& what) {
    warnings_.push_back({file_, at.line, at.column, std::move(code), what});
}

void Diagnostics::ThrowIfAny() const {
    if (!errors_.empty()) throw HscError(errors_);
}

}  // namespace tarnfold::hsc
