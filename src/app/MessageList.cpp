#include "MessageList.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

namespace tarnfold::app {

namespace {

enum Column { kWhere, kText };

QIcon LevelIcon(const QStyle* style, CompilerMessage::Level level) {
    switch (level) {
        case CompilerMessage::Level::Error: return style->standardIcon(QStyle::SP_MessageBoxCritical);
        case CompilerMessage::Level::Warning: return style->standardIcon(QStyle::SP_MessageBoxWarning);
        case CompilerMessage::Level::Information: break;
    }
    return style->standardIcon(QStyle::SP_MessageBoxInformation);
}

QString LevelName(CompilerMessage::Level level) {
    switch (level) {
        case CompilerMessage::Level::Error: return MessageList::tr("error");
        case CompilerMessage::Level::Warning: return MessageList::tr("warning");
        case CompilerMessage::Level::Information: break;
    }
    return MessageList::tr("note");
}

}  // namespace

MessageList::MessageList(QWidget* parent) : QTreeWidget(parent) {
    setObjectName("MessageList");
    setColumnCount(2);
    setHeaderHidden(true);
    setRootIsDecorated(false);
    // Every row is one line high: thousands of warnings stay quick to show.
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setIconSize(QSize(16, 16));
    setTextElideMode(Qt::ElideRight);
    header()->setStretchLastSection(true);
    header()->setSectionResizeMode(kWhere, QHeaderView::ResizeToContents);
    setAccessibleName(tr("Messages of the last compile"));
    connect(this, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        const CompilerMessage& message = At(indexOfTopLevelItem(item));
        if (message.line > 0) emit PlaceChosen(message.line, message.column);
    });
    hide();
}

void MessageList::Show(const std::vector<CompilerMessage>& messages) {
    clear();
    messages_ = messages;
    QList<QTreeWidgetItem*> rows;
    rows.reserve(static_cast<qsizetype>(messages.size()));
    for (const CompilerMessage& message : messages) {
        auto* row = new QTreeWidgetItem({message.Where(), message.text});
        row->setIcon(kWhere, LevelIcon(style(), message.level));
        // The full text, since a narrow window cuts it; the level for those who cannot see the icon.
        row->setToolTip(kText, LevelName(message.level) + QStringLiteral(": ") + message.text);
        row->setToolTip(kWhere, LevelName(message.level));
        rows.append(row);
    }
    addTopLevelItems(rows);
    setVisible(!messages.empty());
    updateGeometry();
}

QSize MessageList::sizeHint() const {
    const int rows = std::clamp(topLevelItemCount(), 1, kVisibleRows);
    const int rowHeight = std::max(sizeHintForRow(0), fontMetrics().height());
    const int scrollBar = horizontalScrollBar()->isVisible() ? horizontalScrollBar()->height() : 0;
    return {QTreeWidget::sizeHint().width(), rows * rowHeight + 2 * frameWidth() + scrollBar};
}

// Ctrl+C is the Edit menu's shortcut too: claimed here while the list has the focus.
bool MessageList::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        event->accept();
        return true;
    }
    return QTreeWidget::event(event);
}

void MessageList::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) return CopySelection();
    QTreeWidget::keyPressEvent(event);
}

void MessageList::CopySelection() const {
    QStringList lines;
    for (int row = 0; row < topLevelItemCount(); ++row)
        if (topLevelItem(row)->isSelected()) lines << At(row).raw;
    if (!lines.isEmpty()) QApplication::clipboard()->setText(lines.join('\n'));
}

}  // namespace tarnfold::app
