#include "LockLayout.h"

#include <QWidget>
#include <QWidgetItem>
#include <algorithm>

namespace tarnfold::app {

namespace {

// One axis of Place: `grow` is how much larger the window is than designed.
void PlaceSpan(int& start, int& length, bool lockNear, bool lockFar, int grow) {
    if (lockNear && lockFar)
        length = std::max(0, length + grow);
    else if (lockFar)
        start += grow;
}

// Where a control designed at `designRect` goes in a window of `size`.
QRect Place(QRect designRect, Locks locks, QSize designSize, QSize size) {
    int x = designRect.x(), width = designRect.width();
    int y = designRect.y(), height = designRect.height();
    PlaceSpan(x, width, locks.Left, locks.Right, size.width() - designSize.width());
    PlaceSpan(y, height, locks.Top, locks.Bottom, size.height() - designSize.height());
    return {x, y, width, height};
}

// A control never gets smaller than its own minimum (larger text may need
// more than the design gave): it grows away from the edges it is locked to.
QRect AtLeast(QRect place, Locks locks, QSize least) {
    if (place.width() < least.width()) {
        const int more = least.width() - place.width();
        place.adjust(locks.Right && !locks.Left ? -more : 0, 0, locks.Right && !locks.Left ? 0 : more, 0);
    }
    if (place.height() < least.height()) {
        const int more = least.height() - place.height();
        place.adjust(0, locks.Bottom && !locks.Top ? -more : 0, 0, locks.Bottom && !locks.Top ? 0 : more);
    }
    return place;
}

}  // namespace

LockLayout::LockLayout(QWidget* parent, QSize designSize) : QLayout(parent), design_(designSize) {
    setContentsMargins(0, 0, 0, 0);
}

LockLayout::~LockLayout() {
    for (const Entry& entry : items_) delete entry.item;
}

void LockLayout::Add(QWidget* control, QRect designRect, Locks locks) {
    addChildWidget(control);
    items_.push_back({new QWidgetItem(control), designRect, locks});
    invalidate();
}


void LockLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    for (const Entry& entry : items_) {
        QRect place = Place(entry.designRect, entry.locks, design_, rect.size());
        if (const QWidget* control = entry.item->widget()) place = AtLeast(place, entry.locks, control->minimumSize());
        entry.item->setGeometry(place.translated(rect.topLeft()));
    }
}

// Controls come in through Add, which knows their design rectangle; an item
// added any other way stays where it is.
void LockLayout::addItem(QLayoutItem* item) {
    const QRect where = item->widget() ? item->widget()->geometry() : QRect();
    items_.push_back({item, where, Locks{}});
}

QLayoutItem* LockLayout::itemAt(int index) const {
    return index >= 0 && index < count() ? items_[static_cast<size_t>(index)].item : nullptr;
}

QLayoutItem* LockLayout::takeAt(int index) {
    if (index < 0 || index >= count()) return nullptr;
    QLayoutItem* item = items_[static_cast<size_t>(index)].item;
    items_.erase(items_.begin() + index);
    return item;
}

}  // namespace tarnfold::app
