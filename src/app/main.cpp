// Start-up of the desktop app: `tarnfold [MAP]`.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTimer>
#include <cstdio>
#include <string_view>
#include <filesystem>

#include "App.h"
#include "Version.h"
#include "Window1.h"
#include "HaloMapTypes.h"
#include "ScriptFile.h"

namespace {

void Describe(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral("Compiles scripts (HSC, or XML script documents) into Halo PC maps."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("map"), QStringLiteral("A Halo map to load at start."),
                                 QStringLiteral("[MAP]"));
    parser.addPositionalArgument(QStringLiteral("script"),
                                 QStringLiteral("A script (.hsc or .xml) to open in the field at start."),
                                 QStringLiteral("[SCRIPT]"));
}

// --help and --version print and end without opening a display, so they
// work over ssh and in build scripts.
bool AnswersWithoutDisplay(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help" || arg == "--help-all" || arg == "-v" || arg == "--version")
            return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tarnfold::app;

    if (AnswersWithoutDisplay(argc, argv)) {
        QCoreApplication core(argc, argv);
        core.setApplicationName(QStringLiteral("Tarnfold"));
        core.setApplicationVersion(QStringLiteral(TARNFOLD_VERSION));
        QCommandLineParser parser;
        Describe(parser);
        parser.process(core);  // prints and exits
        return 0;
    }

    tarnfold::app::HaloMapTypes::HaloMap();  // the map file type, ready before any dialog asks for it
    App app(argc, argv);

    QCommandLineParser parser;
    Describe(parser);
    parser.process(app);
    // A script is told from a map by its extension, so either may come alone.
    QStringList maps, scripts;
    for (const QString& file : parser.positionalArguments())
        (tarnfold::app::IsScriptFile(file.toStdU16String()) ? scripts : maps) << file;
    if (maps.size() > 1 || scripts.size() > 1) {
        std::fputs("tarnfold: give at most one map and one script\n", stderr);
        return 2;
    }

    Window1 window;
    window.show();
    // For file associations and "open with": loaded once the window is up, so
    // an error about a file is shown over it.
    QTimer::singleShot(0, &window, [&window, maps, scripts] {
        if (!maps.isEmpty()) window.LoadMapFile(maps.front().toStdU16String());
        if (!scripts.isEmpty()) window.LoadScriptFile(scripts.front().toStdU16String());
    });
    return app.exec();
}
