#include "hsc/Parser.h"

namespace tarnfold::hsc {

namespace {

// Deeper than this is refused: the game's own script stack gives out long
// before, and the limit keeps the recursive translation safe.
constexpr size_t kMaxDepth = 256;

}  // namespace

std::vector<Expr> Parse(const std::vector<Token>& tokens, Diagnostics& errors) {
    std::vector<Expr> top;
    std::vector<Expr> open;  // the lists whose ")" is still to come
    for (const Token& token : tokens) {
        switch (token.kind) {
            case Token::Kind::Open:
                if (open.size() >= kMaxDepth) {
                    errors.Report(token.at, "expressions are nested deeper than " + std::to_string(kMaxDepth) + " levels");
                    errors.ThrowIfAny();
                }
                open.push_back(Expr{Expr::Kind::List, {}, {}, token.at});
                break;
            case Token::Kind::Close:
                if (open.empty()) {
                    errors.Report(token.at, "this ) closes nothing");
                    break;
                }
                if (open.size() == 1) {
                    top.push_back(std::move(open.back()));
                } else {
                    open[open.size() - 2].items.push_back(std::move(open.back()));
                }
                open.pop_back();
                break;
            default: {
                Expr leaf{token.kind == Token::Kind::Atom ? Expr::Kind::Atom : Expr::Kind::String, token.text, {},
                          token.at};
                if (open.empty())
                    errors.Report(token.at, "\"" + token.text + "\" stands outside any (script ...)");
                else
                    open.back().items.push_back(std::move(leaf));
            }
        }
    }
    for (const Expr& list : open) errors.Report(list.at, "this ( is never closed");
    return top;
}

}  // namespace tarnfold::hsc
