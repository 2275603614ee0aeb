// Start-up of the desktop app: `tarnfold [MAP]`.
#include <QCommandLineParser>
#include <QTimer>
#include <cstdio>
#include <filesystem>

#include "App.h"
#include "Window1.h"
#include "map/HaloMapTypes.h"

int main(int argc, char** argv) {
    using namespace tarnfold::app;

    tarnfold::HaloMapTypes::HaloMap();  // the map file type, ready before any dialog asks for it
    App app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Compiles XML script documents into Halo PC maps."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("map"), QStringLiteral("A Halo map to load at start."),
                                 QStringLiteral("[MAP]"));
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
