#pragma once

#include <QString>

#include "map/HaloPcMap.h"

class QWidget;

namespace tarnfold::app {

// The "Halo map (*.map)" filter of the open-file dialog, made from the core's
// file type so both name the same files.
QString MapFileFilter();

// An open-file dialog over `parent` for Halo maps; an empty path on cancel.
FileChooser MapDialogChooser(QWidget* parent);

}  // namespace tarnfold::app
