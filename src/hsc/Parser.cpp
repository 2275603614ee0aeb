#include "hsc/Parser.h"

#include "runtime/Numbers.h"
#include "runtime/Printable.h"

namespace tarnfold::hsc {

namespace {

std::string Where(Position at) { return "line " + std::to_string(at.line) + ", column " + std::to_string(at.column); }

}  // namespace

std::vector<Expr> Parse(std::string_view source, Diagnostics& errors) {
    Lexer lexer(source, errors);
    std::vector<Expr> top;
    std::vector<Expr> open;  // the lists whose ")" is still to come
    size_t expressions = 0;
    for (Token token = lexer.Next(); token.kind != Token::Kind::End; token = lexer.Next()) {
        if (++expressions > kMaxExpressions) {
            errors.Report(token.at, "the source holds more than " + std::to_string(kMaxExpressions) +
                                        " expressions; the syntax nodes they make would not fit a scenario (at "
                                        "most 32768)");
            errors.ThrowIfAny();
        }
        switch (token.kind) {
            case Token::Kind::Open:
                if (open.size() >= kMaxListDepth) {
                    errors.Report(token.at, "expressions are nested deeper than " + std::to_string(kMaxListDepth) +
                                                " levels");
                    errors.ThrowIfAny();
                }
                open.push_back(Expr{Expr::Kind::List, {}, {}, token.at});
                break;
            case Token::Kind::Close:
                --expressions;  // its list is counted at its "("
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
                const bool atom = token.kind == Token::Kind::Atom;
                if (atom && expressions == 1 && token.text.starts_with('<')) {
                    errors.Report(token.at, "this is a script document (XML), not HSC: compile takes either, "
                                            "translate reads HSC");
                    errors.ThrowIfAny();
                }
                Expr leaf{atom ? Expr::Kind::Atom : Expr::Kind::String,
                          atom ? LowerAscii(token.text) : std::string(token.text), {}, token.at};
                if (open.empty())
                    errors.Report(token.at, "\"" + Printable(token.text) + "\" stands outside any (script ...)");
                else
                    open.back().items.push_back(std::move(leaf));
            }
        }
    }
    // The form still open is where the ) is missing, and the end of the
    // source is where the reader noticed.
    if (!open.empty()) {
        errors.Report(open.front().at, "this ( is never closed");
        errors.Report(lexer.Here(), "the source ends inside the ( of " + Where(open.front().at) + ": a ) is missing");
    }
    return top;
}

}  // namespace tarnfold::hsc
