#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "hsc/Diagnostics.h"

namespace tarnfold::hsc {

struct Token {
    enum class Kind { Open, Close, Atom, String };
    Kind kind;
    std::string text;  // an atom in lower case, as the kit reads names; a string as written
    Position at;
};

// Splits HSC source into parentheses, atoms and quoted strings, skipping white
// space and comments (";" to the end of the line, ";* ... *;"). Reports an
// unterminated string or block comment.
std::vector<Token> Tokenize(std::string_view source, Diagnostics& errors);

}  // namespace tarnfold::hsc
