#pragma once

#include <string>
#include <vector>

#include "hsc/Lexer.h"

namespace tarnfold::hsc {

// One expression of the source: a parenthesised list, a bare atom or a
// quoted string.
struct Expr {
    enum class Kind { List, Atom, String };
    Kind kind = Kind::List;
    std::string text;          // atoms and strings
    std::vector<Expr> items;   // lists
    Position at;

    bool IsAtom() const { return kind == Kind::Atom; }
    bool IsList() const { return kind == Kind::List; }
};

// The top-level lists of the source. Reports unbalanced parentheses and
// anything outside a list.
std::vector<Expr> Parse(const std::vector<Token>& tokens, Diagnostics& errors);

}  // namespace tarnfold::hsc
