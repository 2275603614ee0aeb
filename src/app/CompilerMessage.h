#pragma once

#include <QString>

namespace tarnfold::app {

// One thing a compile said, taken apart for the message list.
struct CompilerMessage {
    enum class Level { Error, Warning, Information };
    Level level = Level::Error;
    QString file;    // the file it names; empty when it names none
    int line = 0;    // 1-based; 0 when the message names no place
    int column = 0;  // 1-based, in bytes of the line's UTF-8 text, as the compiler counts
    QString text;    // what happened, without the place
    QString raw;     // the message as the compiler wrote it

    // "FILE:LINE:COLUMN" (or "LINE:COLUMN" without a file); empty without a place.
    QString Where() const;
};

// Takes one compiler message apart. Understood are the compilers' form
// "FILE:LINE:COLUMN: error: WHAT" (also "warning:" and "note:") and the
// script document's "element \"X\" at line L, column C: WHAT" and "XML error
// at line L, column C: WHAT", which name no file: `file` is given them.
// Anything else is kept whole, at `level`, without a place.
CompilerMessage ParseCompilerMessage(const QString& raw, CompilerMessage::Level level, const QString& file);

}  // namespace tarnfold::app
