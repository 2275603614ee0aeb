#include "MessageSink.h"

#include <QMessageBox>

namespace tarnfold::app {

void ShowMessageBox(QWidget* parent, const Message& message) {
    const bool warning = message.kind == Message::Kind::Warning;
    QMessageBox box(warning ? QMessageBox::Warning : QMessageBox::Information, QStringLiteral("Tarnfold"),
                    message.text, QMessageBox::Ok, parent);
    box.setInformativeText(message.detail);
    box.exec();
}

}  // namespace tarnfold::app
