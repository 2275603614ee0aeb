#pragma once

#include <QImage>
#include <QWidget>

namespace tarnfold::app {

// A control that paints a picture, its backdrop, from its top left corner.
class Canvas : public QWidget {
    Q_OBJECT
public:
    explicit Canvas(QWidget* parent);

    void SetBackdrop(const QImage& picture);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage backdrop_;
};

}  // namespace tarnfold::app
