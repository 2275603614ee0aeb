#pragma once

#include <QString>
#include <filesystem>
#include <functional>

class QWidget;

namespace tarnfold::app {

// Asks the user for a script file, starting from `start` (a folder, or a
// file name to suggest); an empty path means the choice was cancelled.
using ScriptChooser = std::function<std::filesystem::path(const std::filesystem::path& start)>;

// The script files the dialogs offer: HSC sources and script documents.
QString ScriptFileFilter();

// The open-file dialog for a script, over `parent`.
ScriptChooser OpenScriptDialog(QWidget* parent);
// The save-file dialog for a script, over `parent`; it asks before replacing a file.
ScriptChooser SaveScriptDialog(QWidget* parent);

}  // namespace tarnfold::app
