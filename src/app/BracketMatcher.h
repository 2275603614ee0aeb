#pragma once

#include <QStringView>
#include <vector>

namespace tarnfold::app {

// The brackets of an HSC text paired as the compiler pairs them: brackets in
// comments and strings do not count.
class BracketMatcher {
public:
    static constexpr qsizetype kNotABracket = -2;
    static constexpr qsizetype kUnmatched = -1;

    void Reset(QStringView text);
    // The position of the bracket that pairs with the one at `position`,
    // kUnmatched when it has none, kNotABracket when there is no bracket there
    // (or it lies in a comment or a string).
    qsizetype Partner(qsizetype position) const;

private:
    struct Bracket {
        qsizetype position;
        qsizetype partner;
    };
    std::vector<Bracket> brackets_;  // by position
};

}  // namespace tarnfold::app
