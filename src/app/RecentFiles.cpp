#include "RecentFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

namespace tarnfold::app {

RecentFiles::RecentFiles(const QString& key, QMenu* menu, std::function<void(const std::filesystem::path&)> open,
                         QObject* owner)
    : QObject(owner), key_(key), menu_(menu), open_(std::move(open)) {
    connect(menu_, &QMenu::aboutToShow, this, &RecentFiles::Fill);
    Fill();
}

void RecentFiles::Add(const std::filesystem::path& path) {
    const QString file = QFileInfo(QString::fromStdU16String(path.u16string())).absoluteFilePath();
    QStringList files = Files();
    files.removeAll(file);
    files.prepend(file);
    QSettings().setValue(key_, QStringList(files.mid(0, kKept)));
}

QStringList RecentFiles::Files() const { return QSettings().value(key_).toStringList(); }

// Files that are gone are left out, not offered to fail.
void RecentFiles::Fill() {
    menu_->clear();
    for (const QString& file : Files()) {
        if (!QFileInfo::exists(file)) continue;
        QAction* item = menu_->addAction(QDir::toNativeSeparators(file));
        connect(item, &QAction::triggered, this, [this, file] { open_(file.toStdU16String()); });
    }
    if (menu_->isEmpty()) menu_->addAction(tr("(none)"))->setEnabled(false);
}

}  // namespace tarnfold::app
