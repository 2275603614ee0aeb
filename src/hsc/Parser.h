#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "hsc/Lexer.h"

namespace tarnfold::hsc {

// One expression of the source: a parenthesised list, a bare atom or a
// quoted string.
struct Expr {
    enum class Kind { List, Atom, String };
    Kind kind = Kind::List;
    std::string text;          // atoms (in lower case, as the kit reads names) and strings
    std::vector<Expr> items;   // lists
    Position at;

    bool IsAtom() const { return kind == Kind::Atom; }
    bool IsList() const { return kind == Kind::List; }
};

// Lists nest at most this deep: the game's own script stack gives out long
// before, and the limit keeps the recursive translation safe.
constexpr size_t kMaxListDepth = 256;
// A source holds at most this many expressions. Each makes a syntax node or
// two, but for a few (the heads of script and global forms, cond's), and a
// scenario holds at most 32,768 nodes: no source that fits comes near, and
// the bound keeps the tree of a hostile source small.
constexpr size_t kMaxExpressions = 131072;

// The top-level lists of the source. Reports unbalanced parentheses (an
// unclosed one where it opens and where the source ends), anything outside
// a list, and a script document given as HSC.
std::vector<Expr> Parse(std::string_view source, Diagnostics& errors);

}  // namespace tarnfold::hsc
