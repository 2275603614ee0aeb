#pragma once

#include <QImage>

namespace tarnfold::app {

// The About window's 185 x 185 picture, read from the application's
// resources on first use and kept until the process ends.
const QImage& egg_ic();

}  // namespace tarnfold::app
