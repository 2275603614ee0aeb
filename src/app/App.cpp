#include "App.h"

#include "MenuBar1.h"

namespace tarnfold::app {

App::App(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Tarnfold"));
    setApplicationVersion(QStringLiteral(TARNFOLD_VERSION));
    MenuBar1::Instance();
}

// Widgets must not outlive the application object.
App::~App() { MenuBar1::Release(); }

MenuBar1* App::MenuBar() const { return MenuBar1::Instance(); }

}  // namespace tarnfold::app
