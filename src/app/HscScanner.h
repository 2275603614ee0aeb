#pragma once

#include <QStringView>
#include <functional>

namespace tarnfold::app {

// The lexical parts of HSC that the editor colours and matches.
enum class HscPart { Comment, String, Atom, Open, Close };

using HscPartSink = std::function<void(HscPart part, qsizetype start, qsizetype length)>;

// Splits `text` into HSC's parts by the compiler's own lexical rules: ";" to
// the end of the line and ";* ... *;" are comments, a string ends at its
// quote or at the end of its line, an atom runs up to white space, a
// bracket, a quote or ";". Scanning starts inside a block comment when
// `inBlockComment`; returns whether the text ends inside one, so that a
// line-by-line scan carries the state on.
bool ScanHsc(QStringView text, bool inBlockComment, const HscPartSink& sink);

}  // namespace tarnfold::app
