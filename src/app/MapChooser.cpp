#include "MapChooser.h"

#include <QFileDialog>
#include <QString>

#include "HaloMapTypes.h"

namespace tarnfold::app {

QString MapFileFilter() {
    const FileType& type = HaloMapTypes::HaloMap();
    return QStringLiteral("%1 (*%2)").arg(QString::fromStdString(type.Name), QString::fromStdString(type.Extensions));
}

FileChooser MapDialogChooser(QWidget* parent) {
    return [parent]() -> std::filesystem::path {
        const QString chosen = QFileDialog::getOpenFileName(parent, QString(), QString(), MapFileFilter());
        return chosen.isEmpty() ? std::filesystem::path() : std::filesystem::path(chosen.toStdU16String());
    };
}

}  // namespace tarnfold::app
