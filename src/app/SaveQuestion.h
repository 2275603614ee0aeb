#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tarnfold::app {

enum class SaveAnswer { Save, Discard, Cancel };

// Asks whether the changed script `name` is saved before its text goes.
using SaveQuestion = std::function<SaveAnswer(QWidget* parent, const QString& name)>;

// The question in a modal box: Save, Discard or Cancel (Escape).
SaveAnswer AskSaveBox(QWidget* parent, const QString& name);

}  // namespace tarnfold::app
