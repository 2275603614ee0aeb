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
#include "map/HaloMapTypes.h"

namespace {

void Describe(QCommandLineParser& parser) {
    parser.setApplicationDescription(QStringLiteral("Compiles XML script documents into Halo PC maps."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("map"), QStringLiteral("A Halo map to load at start."),
                                 QStringLiteral("[MAP]"));
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

    tarnfold::HaloMapTypes::HaloMap();  // the map file type, ready before any dialog asks for it
    App app(argc, argv);

    QCommandLineParser parser;
    Describe(parser);
    parser.process(app);
    const QStringList maps = parser.positionalArguments();
    if (maps.size() > 1) {
        std::fputs("tarnfold: give at most one map\n", stderr);
        return 2;
    }

    Window1 window;
    window.show();
    // For file associations and "open with": loaded once the window is up, so
    // an error about the file is shown over it.
    if (!maps.isEmpty()) {
        const std::filesystem::path map(maps.front().toStdU16String());
        QTimer::singleShot(0, &window, [&window, map] { window.LoadMapFile(map); });
    }
    return app.exec();
}
