#pragma once

#include <QStringList>
#include <QWidget>

class QLabel;

namespace tarnfold::app {

class Canvas;

// The credits, paragraph by paragraph; the last, the thank-you, is set to the right.
QStringList Credits();

// The About window: the picture egg_ic beside the credits. At most one is
// open at a time; closing it (or Escape) ends it.
class About : public QWidget {
    Q_OBJECT
public:
    // The open About window, or a new one when none is open.
    static About* Instance();

    Canvas* Canvas1 = nullptr;
    QLabel* StaticText1 = nullptr;

private:
    About();
};

}  // namespace tarnfold::app
