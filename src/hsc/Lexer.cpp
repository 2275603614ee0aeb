#include "hsc/Lexer.h"

#include "runtime/Numbers.h"
#include "runtime/Printable.h"

namespace tarnfold::hsc {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
bool EndsAtom(char c) { return IsSpace(c) || c == '(' || c == ')' || c == '"' || c == ';'; }

std::string Hex(char c) { return FormatHex(static_cast<unsigned char>(c), 2); }

}  // namespace

Lexer::Lexer(std::string_view source, Diagnostics& errors) : text_(source), errors_(errors) {
    // Editors on Windows start UTF-8 files with a byte-order mark; it is no text.
    if (text_.starts_with("\xEF\xBB\xBF")) at_ = 3;
}

char Lexer::Take() {
    const char c = text_[at_++];
    if (c == '\n') {
        ++here_.line;
        here_.column = 1;
    } else {
        ++here_.column;
    }
    return c;
}

// The map stores names and strings as UTF-8 texts that end at a zero byte,
// and reads them back as script document text: a control character, or a
// byte of another encoding, would not come back as it was written.
std::string_view Lexer::TakeText(bool string) {
    const size_t start = at_;
    bool reported = false;
    const auto report = [&](const std::string& what) {
        if (!reported) errors_.Report(here_, what);
        reported = true;
    };
    while (!Done() && (string ? Peek() != '"' && Peek() != '\n' : !EndsAtom(Peek()))) {
        const auto c = static_cast<unsigned char>(Peek());
        if ((c < 0x20 && !(string && c == '\t')) || c == 0x7F) {
            report((string ? "a string holds the control character " : "a name holds the control character ") +
                   Hex(Peek()));
        } else if (c >= 0x80) {
            const size_t length = Utf8SequenceLength(text_.substr(at_));
            if (length == 0) {
                report("byte " + Hex(Peek()) +
                       " is not UTF-8 text: save the source as UTF-8 (it looks like Latin-1 or another "
                       "one-byte encoding)");
            } else {
                for (size_t i = 1; i < length; ++i) Take();  // columns count bytes
            }
        }
        Take();
    }
    return text_.substr(start, at_ - start);
}

Token Lexer::Next() {
    while (!Done()) {
        const char c = Peek();
        const Position start = here_;
        if (IsSpace(c)) {
            Take();
        } else if (c == ';' && Peek(1) == '*') {
            Take(), Take();
            while (!Done() && !(Peek() == '*' && Peek(1) == ';')) Take();
            if (Done()) {
                errors_.Report(start, "the comment ;* is never closed with *;");
                break;
            }
            Take(), Take();
        } else if (c == ';') {
            while (!Done() && Peek() != '\n') Take();
        } else if (c == '(' || c == ')') {
            Take();
            return {c == '(' ? Token::Kind::Open : Token::Kind::Close, text_.substr(at_ - 1, 1), start};
        } else if (c == '"') {
            Take();
            // A string ends on its own line: a missing quote is then reported where it is missing.
            const std::string_view text = TakeText(true);
            if (Peek() != '"') {
                errors_.Report(start, "the string is never closed with \" on its line");
                errors_.ThrowIfAny();
            }
            Take();
            // \" ends the string and leaves the rest of the text outside it.
            if (text.ends_with('\\') && !Done() && !EndsAtom(Peek()))
                errors_.Report(here_, "HSC strings cannot hold a quote: the \" after \\ ends the string here "
                                      "(HSC has no escapes; write ' instead)");
            return {Token::Kind::String, text, start};
        } else {
            return {Token::Kind::Atom, TakeText(false), start};
        }
    }
    return {Token::Kind::End, {}, here_};
}

}  // namespace tarnfold::hsc
