#pragma once

#include <QTreeWidget>
#include <vector>

#include "CompilerMessage.h"

namespace tarnfold::app {

// The compile's messages below the script field, one row each: the level's
// icon, the place (FILE:LINE:COLUMN) and the text. They stay until the next
// compile. Double-click or Enter on a row with a place asks for the caret
// there; Ctrl+C copies the selected rows as the compiler wrote them.
class MessageList : public QTreeWidget {
    Q_OBJECT
public:
    // Rows the list grows to before it scrolls.
    static constexpr int kVisibleRows = 6;

    explicit MessageList(QWidget* parent);

    // Replaces the rows; the list hides when there are none.
    void Show(const std::vector<CompilerMessage>& messages);
    // The message of a row, as given to Show.
    const CompilerMessage& At(int row) const { return messages_.at(static_cast<size_t>(row)); }

    QSize sizeHint() const override;

signals:
    void PlaceChosen(int line, int column);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CopySelection() const;
    std::vector<CompilerMessage> messages_;
};

}  // namespace tarnfold::app
