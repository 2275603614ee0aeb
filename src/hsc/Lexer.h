#pragma once

#include <string_view>

#include "hsc/Diagnostics.h"

namespace tarnfold::hsc {

struct Token {
    enum class Kind { Open, Close, Atom, String, End };
    Kind kind = Kind::End;
    std::string_view text;  // an atom or a string's content as written, a view into the source
    Position at;
};

// Splits HSC source into parentheses, atoms and quoted strings, one token at
// a time, skipping a UTF-8 byte-order mark, white space and comments (";" to
// the end of the line, ";* ... *;"). Atoms and strings must be UTF-8 text
// without control characters, as the map stores them; an unterminated string
// or block comment, and a string that tries to hold a quote, are reported.
class Lexer {
public:
    Lexer(std::string_view source, Diagnostics& errors);

    // The next token; Kind::End at the end of the source.
    Token Next();
    // Where the source ends.
    Position Here() const { return here_; }

private:
    char Peek(size_t ahead = 0) const { return at_ + ahead < text_.size() ? text_[at_ + ahead] : '\0'; }
    bool Done() const { return at_ >= text_.size(); }
    char Take();
    // Takes an atom, or a string's content, from here on, checking its text.
    std::string_view TakeText(bool string);

    std::string_view text_;
    Diagnostics& errors_;
    size_t at_ = 0;
    Position here_;
};

}  // namespace tarnfold::hsc
