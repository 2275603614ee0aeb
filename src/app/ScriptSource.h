#pragma once

#include <QStringView>

namespace tarnfold::app {

// Where a script's form lies in HSC source: its opening bracket and length.
struct SourceRange {
    qsizetype start = -1;  // -1: not there
    qsizetype length = 0;
};

// The top-level form "(script TYPE [RETURN-TYPE] NAME ...)" that defines the
// script `name` (compared as the compiler reads names, in any letter case).
SourceRange FindScriptSource(QStringView hsc, QStringView name);

}  // namespace tarnfold::app
