#pragma once

#include <QString>
#include <filesystem>
#include <functional>

class QWidget;

namespace tarnfold::app {

// Asks the user for a map; an empty path means the choice was cancelled.
using FileChooser = std::function<std::filesystem::path()>;

// The "Halo map (*.map)" filter of the open-file dialog, made from the core's
// file type so both name the same files.
QString MapFileFilter();

// An open-file dialog over `parent` for Halo maps; an empty path on cancel.
FileChooser MapDialogChooser(QWidget* parent);

}  // namespace tarnfold::app
