#pragma once

#include <QMenuBar>

class QAction;

namespace tarnfold::app {

// The menu bar: File, Edit and About. There is one for the whole process,
// shared by the application and the main window; on macOS it is the
// application's menu bar. Every item, menus and separators included, is a
// QAction named by the item's name, so it can be found with Item().
class MenuBar1 : public QMenuBar {
    Q_OBJECT
public:
    // The one instance, made on first use.
    static MenuBar1* Instance();
    // Ends the instance with the application; the next Instance() makes a new one.
    static void Release();

    // The item called `name`, or nullptr. A menu's item is its menuAction().
    QAction* Item(const QString& name) const;

private:
    MenuBar1();
};

}  // namespace tarnfold::app
