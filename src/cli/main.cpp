// tarnfold-cli: the command-line shell over the core library.
#include <CLI/CLI.hpp>

#include <iostream>

#include "cli/Commands.h"
#include "runtime/Error.h"

int main(int argc, char** argv) {
    CLI::App app{"Tarnfold compiles XML script documents into Halo PC maps.", "tarnfold-cli"};
    app.set_version_flag("--version", std::string("tarnfold-cli ") + TARNFOLD_VERSION);
    app.require_subcommand(1);

    std::string mapPath;
    std::string scriptPath;
    auto* info = app.add_subcommand("info", "Show the map's layout, tag index and script data");
    info->add_option("MAP", mapPath, "The Halo PC map (.map)")->required();
    auto* compile = app.add_subcommand("compile", "Compile a script document into the map, in place");
    compile->add_option("MAP", mapPath, "The Halo PC map (.map) to compile into")->required();
    compile->add_option("SCRIPTS", scriptPath, "The XML script document, or - for standard input")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? 0 : 2;
    }

    try {
        if (*info) tarnfold::cli::Info(mapPath, std::cout);
        if (*compile) tarnfold::cli::Compile(mapPath, scriptPath, std::cout, std::cerr);
    } catch (const std::exception& e) {
        std::cerr << "tarnfold-cli: error: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
