#pragma once

#include <QLayout>
#include <QRect>
#include <QSize>
#include <vector>

namespace tarnfold::app {

// Which edges of its window a control keeps its distance to. A control locked
// to both opposite edges stretches with the window; locked to neither, or to
// the near one only, it stays where it was placed.
struct Locks {
    bool Left = false;
    bool Top = false;
    bool Right = false;
    bool Bottom = false;
};

// Places controls at the positions they were designed at, for a window of
// `designSize`, and moves or stretches them by their locks when the window
// is resized. The window's size limits belong to the widget it lays out.
class LockLayout : public QLayout {
public:
    LockLayout(QWidget* parent, QSize designSize);
    ~LockLayout() override;

    void Add(QWidget* control, QRect designRect, Locks locks);

    QSize sizeHint() const override { return design_; }

    void setGeometry(const QRect& rect) override;
    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override { return static_cast<int>(items_.size()); }

private:
    struct Entry {
        QLayoutItem* item;
        QRect designRect;
        Locks locks;
    };
    std::vector<Entry> items_;
    QSize design_;
};

}  // namespace tarnfold::app
