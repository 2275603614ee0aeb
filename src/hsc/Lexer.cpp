#include "hsc/Lexer.h"

#include "runtime/Numbers.h"

namespace tarnfold::hsc {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
bool EndsAtom(char c) { return IsSpace(c) || c == '(' || c == ')' || c == '"' || c == ';'; }

class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}
    bool Done() const { return at_ >= text_.size(); }
    char Peek(size_t ahead = 0) const { return at_ + ahead < text_.size() ? text_[at_ + ahead] : '\0'; }
    Position Here() const { return here_; }
    char Take() {
        const char c = text_[at_++];
        if (c == '\n') {
            ++here_.line;
            here_.column = 1;
        } else {
            ++here_.column;
        }
        return c;
    }

private:
    std::string_view text_;
    size_t at_ = 0;
    Position here_;
};

}  // namespace

std::vector<Token> Tokenize(std::string_view source, Diagnostics& errors) {
    std::vector<Token> tokens;
    Scanner in(source);
    while (!in.Done()) {
        const char c = in.Peek();
        const Position start = in.Here();
        if (IsSpace(c)) {
            in.Take();
        } else if (c == ';' && in.Peek(1) == '*') {
            in.Take(), in.Take();
            while (!in.Done() && !(in.Peek() == '*' && in.Peek(1) == ';')) in.Take();
            if (in.Done()) {
                errors.Report(start, "the comment ;* is never closed with *;");
                break;
            }
            in.Take(), in.Take();
        } else if (c == ';') {
            while (!in.Done() && in.Peek() != '\n') in.Take();
        } else if (c == '(' || c == ')') {
            in.Take();
            tokens.push_back({c == '(' ? Token::Kind::Open : Token::Kind::Close, std::string(1, c), start});
        } else if (c == '"') {
            in.Take();
            std::string text;
            // A string ends on its own line: a missing quote is then reported where it is missing.
            while (!in.Done() && in.Peek() != '"' && in.Peek() != '\n') {
                if (static_cast<unsigned char>(in.Peek()) < 0x20 && in.Peek() != '\t') {
                    errors.Report(in.Here(), "a string holds a control character");
                    errors.ThrowIfAny();
                }
                text += in.Take();
            }
            if (in.Peek() != '"') {
                errors.Report(start, "the string is never closed with \" on its line");
                errors.ThrowIfAny();
            }
            in.Take();
            tokens.push_back({Token::Kind::String, std::move(text), start});
        } else {
            std::string text;
            while (!in.Done() && !EndsAtom(in.Peek())) text += in.Take();
            tokens.push_back({Token::Kind::Atom, LowerAscii(text), start});
        }
    }
    return tokens;
}

}  // namespace tarnfold::hsc
