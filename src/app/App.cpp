#include "App.h"

#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "MenuBar1.h"
#include "Version.h"

namespace tarnfold::app {

namespace {

// The translations for the user's language, where installed: Qt's own texts
// (the dialogs' buttons) and Tarnfold's, beside the program in share/tarnfold.
void LoadTranslations(QApplication& app) {
    const QString qt = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    const QString own = QDir(QApplication::applicationDirPath()).filePath(QStringLiteral("../share/tarnfold/translations"));
    for (const auto& [name, folder] : {std::pair{QStringLiteral("qtbase"), qt}, std::pair{QStringLiteral("tarnfold"), own}}) {
        auto* translator = new QTranslator(&app);
        if (translator->load(QLocale(), name, QStringLiteral("_"), folder))
            QApplication::installTranslator(translator);
        else
            delete translator;
    }
}

}  // namespace

App::App(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Tarnfold"));
    setApplicationVersion(QStringLiteral(TARNFOLD_VERSION));
    // Where the settings (recent files, the window's size) are kept.
    setOrganizationName(QStringLiteral("Tarnfold"));
    LoadTranslations(*this);
    // Ties the windows to the installed desktop entry and its icon (the
    // taskbar, the window switcher); the built-in egg when not installed.
    setDesktopFileName(QStringLiteral("org.tarnfold.Tarnfold"));
    setWindowIcon(QIcon::fromTheme(QStringLiteral("org.tarnfold.Tarnfold"), QIcon(QStringLiteral(":/tarnfold/egg_ic.png"))));
    MenuBar1::Instance();
}

// Widgets must not outlive the application object.
App::~App() { MenuBar1::Release(); }


}  // namespace tarnfold::app
