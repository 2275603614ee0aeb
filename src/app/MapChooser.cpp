#include "MapChooser.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QString>

#include "HaloMapTypes.h"

namespace tarnfold::app {

QString MapFileFilter() {
    const FileType& type = HaloMapTypes::HaloMap();
    return QStringLiteral("%1 (*%2)").arg(QCoreApplication::translate("HaloMapTypes", type.Name.c_str()),
                                          QString::fromStdString(type.Extensions));
}

FileChooser MapDialogChooser(QWidget* parent) {
    return [parent]() -> std::filesystem::path {
        const QString chosen = QFileDialog::getOpenFileName(
            parent, QCoreApplication::translate("MapChooser", "Load map"), QString(), MapFileFilter());
        return chosen.isEmpty() ? std::filesystem::path() : std::filesystem::path(chosen.toStdU16String());
    };
}

}  // namespace tarnfold::app
