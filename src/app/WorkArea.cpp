#include "WorkArea.h"

#include <QResizeEvent>
#include <algorithm>

namespace tarnfold::app {

WorkArea::WorkArea(QWidget* panel, QWidget* script, QWidget* parent) : QSplitter(Qt::Vertical, parent) {
    setObjectName("WorkArea");
    setChildrenCollapsible(false);
    addWidget(panel);
    addWidget(script);
    setStretchFactor(0, 0);
    setStretchFactor(1, 1);
}

void WorkArea::Fit(QWidget* widget, double share) {
    const int index = indexOf(widget);
    if (index < 0) return;
    const bool across = orientation() == Qt::Horizontal;
    const int total = across ? width() : height();
    const int wanted = across ? widget->sizeHint().width() : widget->sizeHint().height();
    const int size = std::min(wanted, int(total * share));
    setSizes(index == 0 ? QList<int>{size, total - size} : QList<int>{total - size, size});
}

void WorkArea::resizeEvent(QResizeEvent* event) {
    const Qt::Orientation wanted = event->size().width() >= kSideBySideWidth ? Qt::Horizontal : Qt::Vertical;
    QSplitter::resizeEvent(event);
    if (wanted == orientation()) return;
    setOrientation(wanted);
    Fit(widget(0), wanted == Qt::Horizontal ? 0.4 : 0.35);
}

}  // namespace tarnfold::app
