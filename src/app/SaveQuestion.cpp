#include "SaveQuestion.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace tarnfold::app {

SaveAnswer AskSaveBox(QWidget* parent, const QString& name) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Tarnfold"),
                    QCoreApplication::translate("SaveQuestion", "Save the changes to %1?").arg(name),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setInformativeText(QCoreApplication::translate("SaveQuestion", "Without saving, the changes are lost."));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
        case QMessageBox::Save: return SaveAnswer::Save;
        case QMessageBox::Discard: return SaveAnswer::Discard;
        default: return SaveAnswer::Cancel;
    }
}

}  // namespace tarnfold::app
