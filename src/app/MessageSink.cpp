#include "MessageSink.h"

#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace tarnfold::app {

std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, const Message& message) {
    const bool warning = message.kind == Message::Kind::Warning;
    auto box = std::make_unique<QMessageBox>(warning ? QMessageBox::Warning : QMessageBox::Information,
                                             QStringLiteral("Tarnfold"), message.text, QMessageBox::Ok, parent);
    const QStringList lines = message.detail.split('\n');
    box->setInformativeText(lines.mid(0, kBoxDetailLines).join('\n'));
    if (lines.size() > kBoxDetailLines) {
        box->setInformativeText(box->informativeText() + QStringLiteral("\n\u2026"));
        box->setDetailedText(message.detail);  // scrolls
    }
    // A box sizes itself to its text: "done!" alone would cut its title off.
    // A spacer across the bottom of its grid keeps room for the title and the
    // window manager's buttons.
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout())) {
        const int width = box->fontMetrics().horizontalAdvance(box->windowTitle()) + 160;
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
    }
    return box;
}

void ShowMessageBox(QWidget* parent, const Message& message) { MakeMessageBox(parent, message)->exec(); }

}  // namespace tarnfold::app
