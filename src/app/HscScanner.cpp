#include "HscScanner.h"

#include <QString>

namespace tarnfold::app {

namespace {

bool IsSpace(QChar c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
bool EndsAtom(QChar c) { return IsSpace(c) || c == '(' || c == ')' || c == '"' || c == ';'; }

// Where a block comment that is open at `from` ends: after its "*;", or at the end.
qsizetype BlockCommentEnd(QStringView text, qsizetype from) {
    const qsizetype close = text.indexOf(QStringLiteral("*;"), from);
    return close < 0 ? text.size() : close + 2;
}

}  // namespace

bool ScanHsc(QStringView text, bool inBlockComment, const HscPartSink& sink) {
    qsizetype at = 0;
    if (inBlockComment) {
        at = BlockCommentEnd(text, 0);
        sink(HscPart::Comment, 0, at);
        inBlockComment = !text.first(at).endsWith(QStringLiteral("*;"));
    }
    while (at < text.size()) {
        const QChar c = text[at];
        const qsizetype start = at;
        if (IsSpace(c)) {
            ++at;
        } else if (c == ';' && at + 1 < text.size() && text[at + 1] == '*') {
            at = BlockCommentEnd(text, at + 2);
            inBlockComment = !text.first(at).endsWith(QStringLiteral("*;"));
            sink(HscPart::Comment, start, at - start);
        } else if (c == ';') {
            const qsizetype lineEnd = text.indexOf('\n', at);
            at = lineEnd < 0 ? text.size() : lineEnd;
            sink(HscPart::Comment, start, at - start);
        } else if (c == '(' || c == ')') {
            sink(c == '(' ? HscPart::Open : HscPart::Close, at++, 1);
        } else if (c == '"') {
            ++at;
            while (at < text.size() && text[at] != '"' && text[at] != '\n') ++at;
            if (at < text.size() && text[at] == '"') ++at;
            sink(HscPart::String, start, at - start);
        } else {
            while (at < text.size() && !EndsAtom(text[at])) ++at;
            sink(HscPart::Atom, start, at - start);
        }
    }
    return inBlockComment;
}

}  // namespace tarnfold::app
