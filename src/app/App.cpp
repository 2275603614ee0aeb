#include "App.h"

#include <QIcon>

#include "MenuBar1.h"
#include "Version.h"

namespace tarnfold::app {

App::App(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Tarnfold"));
    setApplicationVersion(QStringLiteral(TARNFOLD_VERSION));
    // Ties the windows to the installed desktop entry and its icon (the
    // taskbar, the window switcher); the built-in egg when not installed.
    setDesktopFileName(QStringLiteral("org.tarnfold.Tarnfold"));
    setWindowIcon(QIcon::fromTheme(QStringLiteral("org.tarnfold.Tarnfold"), QIcon(QStringLiteral(":/tarnfold/egg_ic.png"))));
    MenuBar1::Instance();
}

// Widgets must not outlive the application object.
App::~App() { MenuBar1::Release(); }

MenuBar1* App::MenuBar() const { return MenuBar1::Instance(); }

}  // namespace tarnfold::app
