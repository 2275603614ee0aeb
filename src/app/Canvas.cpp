#include "Canvas.h"

#include <QPainter>

namespace tarnfold::app {

Canvas::Canvas(QWidget* parent) : QWidget(parent) { setFocusPolicy(Qt::NoFocus); }

void Canvas::SetBackdrop(const QImage& picture) {
    backdrop_ = picture;
    update();
}

void Canvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, backdrop_);
}

}  // namespace tarnfold::app
