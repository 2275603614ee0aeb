#include "ReplaceQuestion.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

namespace tarnfold::app {

bool AskReplaceBox(QWidget* parent, const QString& what) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Tarnfold"),
                    QCoreApplication::translate("ReplaceQuestion", "Replace %1?").arg(what), QMessageBox::Cancel,
                    parent);
    box.setInformativeText(QCoreApplication::translate(
        "ReplaceQuestion", "A compile replaces every script of the map. File > Read scripts puts them into the "
                           "field first, so that you can keep what you need."));
    QPushButton* replace = box.addButton(QCoreApplication::translate("ReplaceQuestion", "Replace"),
                                         QMessageBox::DestructiveRole);
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    box.exec();
    return box.clickedButton() == replace;
}

}  // namespace tarnfold::app
