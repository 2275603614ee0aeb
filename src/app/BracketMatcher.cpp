#include "BracketMatcher.h"

#include <algorithm>

#include "HscScanner.h"

namespace tarnfold::app {

void BracketMatcher::Reset(QStringView text) {
    brackets_.clear();
    std::vector<size_t> open;  // indexes into brackets_ of the brackets still open
    ScanHsc(text, false, [&](HscPart part, qsizetype start, qsizetype) {
        if (part == HscPart::Open) {
            open.push_back(brackets_.size());
            brackets_.push_back({start, kUnmatched});
        } else if (part == HscPart::Close) {
            brackets_.push_back({start, kUnmatched});
            if (open.empty()) return;
            Bracket& opening = brackets_[open.back()];
            open.pop_back();
            opening.partner = start;
            brackets_.back().partner = opening.position;
        }
    });
}

qsizetype BracketMatcher::Partner(qsizetype position) const {
    const auto found = std::lower_bound(brackets_.begin(), brackets_.end(), position,
                                        [](const Bracket& bracket, qsizetype at) { return bracket.position < at; });
    return found != brackets_.end() && found->position == position ? found->partner : kNotABracket;
}

}  // namespace tarnfold::app
