#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tarnfold::app {

// Asks whether a compile may replace `what`, the scripts another tool
// compiled into the map; true to replace them.
using ReplaceQuestion = std::function<bool(QWidget* parent, const QString& what)>;

// The question in a modal box: Replace, or Cancel (Escape, the default).
bool AskReplaceBox(QWidget* parent, const QString& what);

}  // namespace tarnfold::app
