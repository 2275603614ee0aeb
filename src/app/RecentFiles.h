#pragma once

#include <QObject>
#include <QStringList>
#include <filesystem>
#include <functional>

class QMenu;

namespace tarnfold::app {

// The files of one kind (maps, or scripts) used lately, newest first, kept in
// the settings so that they outlive the session. They fill `menu` each time
// it opens; choosing one calls `open` with it. The menu is shared by every
// window; the list belongs to `owner` and lets the menu go with it.
class RecentFiles : public QObject {
    Q_OBJECT
public:
    static constexpr int kKept = 8;

    RecentFiles(const QString& key, QMenu* menu, std::function<void(const std::filesystem::path&)> open,
                QObject* owner);

    void Add(const std::filesystem::path& path);
    QStringList Files() const;

private:
    void Fill();

    QString key_;
    QMenu* menu_;
    std::function<void(const std::filesystem::path&)> open_;
};

}  // namespace tarnfold::app
