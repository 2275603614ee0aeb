#pragma once

#include <QSplitter>

namespace tarnfold::app {

// The map panel and the script column (field and messages): side by side
// when the window is wide enough, the panel above the field when it is not,
// as in the window's designed 323 pixels. The divider can be dragged.
class WorkArea : public QSplitter {
    Q_OBJECT
public:
    // From this width on the panel stands beside the field.
    static constexpr int kSideBySideWidth = 600;

    WorkArea(QWidget* panel, QWidget* script, QWidget* parent);

    // Gives `widget` (one of the two) the room its size hint asks for, within
    // `share` of the area, and the other one the rest.
    void Fit(QWidget* widget, double share);

protected:
    void resizeEvent(QResizeEvent* event) override;
};

}  // namespace tarnfold::app
