// tarnfold-cli: the command-line shell over the core library.
#include <CLI/CLI.hpp>

#include <iostream>
#include <string_view>
#include <vector>

#include "Commands.h"
#include "Json.h"
#include "Options.h"
#include "Warnings.h"
#include "runtime/AtomicFile.h"
#include "runtime/Error.h"
#include "runtime/System.h"
#include "Version.h"

int main(int argc, char** argv) {
    using namespace tarnfold::cli;
    tarnfold::UseUtf8Console();
    // From here on every argument, and so every path, is UTF-8.
    std::vector<std::string> arguments = tarnfold::Utf8Arguments(argc, argv);
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) pointers.push_back(argument.c_str());

    CLI::App app{"Tarnfold compiles XML script documents and HSC scripts into Halo PC maps.", "tarnfold-cli"};
    app.set_version_flag("--version", std::string("tarnfold-cli ") + TARNFOLD_VERSION);
    app.require_subcommand(1);
    // The same command line on every system: on Windows CLI11 would take
    // "/path/to/level.map" for an option "/path". (Set before the commands,
    // which inherit it.)
    app.allow_windows_style_options(false);

    std::string mapPath;
    std::string scriptPath;
    std::string outputPath;
    CompileFlags flags;
    bool json = false;
    bool allWarnings = false;
    std::string engine;
    auto* info = app.add_subcommand("info", "Show the map's layout, tag index and script data");
    info->add_option("MAP", mapPath, "The Halo PC map (.map)")->required();
    info->add_flag("--json", json, "Print one JSON object instead of text");
    auto* compile = app.add_subcommand("compile", "Compile a script document or HSC source into the map, in place");
    compile->add_option("MAP", mapPath, "The Halo PC map (.map) to compile into")->required();
    compile->add_option("SCRIPTS", scriptPath, "The XML script document or HSC source (.hsc), or - for standard input")
        ->required()
        ->option_text("SCRIPTS.xml|SCRIPTS.hsc|-");
    compile->add_option("--format", flags.format, "hsc or xml (default: hsc for a .hsc file, else xml; - needs it for hsc)")
        ->check(OneOf({{"hsc", "HSC"}, {"xml", "XML"}}));
    compile->add_flag("--dry-run", flags.dryRun, "Run every check and the whole build, print the summary, write nothing");
    compile->add_flag("--strict", flags.strict, "Refuse the compile when there is any warning");
    compile->add_flag("--json", json, "Print the summary (or the error) as one JSON object instead of text");
    compile->add_flag("--all-warnings", allWarnings,
                      "Print every warning on its own line (by default like ones share a line, and past 20 lines "
                      "the rest is counted)");
    compile->add_flag("--replace-foreign", flags.replaceForeign,
                      "Replace the scripts of a map that another tool compiled (read them back first with scripts --hsc)");
    auto* check = app.add_subcommand("check", "Run the game's load pass over the map's scripts; exit 1 if it would drop them");
    check->add_option("MAP", mapPath, "The Halo PC map (.map)")->required();
    check->add_flag("--json", json, "Print one JSON object instead of text");
    auto* translate = app.add_subcommand("translate", "Print the script document that HSC source translates into");
    translate->add_option("SOURCE", scriptPath, "The HSC source (.hsc), or - for standard input")->required();
    auto* scripts = app.add_subcommand("scripts", "Print the map's scripts as a script document");
    scripts->add_option("MAP", mapPath, "The Halo PC map (.map)")->required();
    scripts->add_option("-o,--output", outputPath, "Write the document into FILE instead of standard output")
        ->option_text("FILE");
    bool hsc = false;
    scripts->add_flag("--hsc", hsc, "Print HSC source (the kit's script language) instead of a script document");
    for (auto* command : {compile, translate, scripts})
        command->add_option("--engine", engine, "retail or custom: the game, when the map's header names none (default custom)")
            ->check(OneOf({{"retail", "retail"}, {"custom", "Custom Edition"}}));

    // CLI11 would call an unknown command an unexpected argument.
    if (arguments.size() > 1 && arguments[1][0] != '-') {
        bool known = false;
        for (const auto* command : app.get_subcommands({})) known = known || command->get_name() == arguments[1];
        if (!known) {
            std::cerr << "tarnfold-cli: error: unknown command '" << arguments[1] << "'\n\n" << app.help();
            return 2;
        }
    }

    try {
        app.parse(static_cast<int>(pointers.size()), pointers.data());
    } catch (const CLI::ParseError& e) {
        if (const std::string unknown = UnknownOption(app, static_cast<int>(pointers.size()), pointers.data()); !unknown.empty()) {
            std::cerr << "tarnfold-cli: error: " << unknown << "\n";
            return 2;
        }
        const int code = app.exit(e);
        return code == 0 ? 0 : 2;
    }

    if (!engine.empty()) flags.engine = engine == "retail" ? tarnfold::Engine::Retail : tarnfold::Engine::Custom;
    tarnfold::RemoveTemporaryOnInterrupt();
    std::vector<tarnfold::Diagnostic> warnings;
    try {
        if (*info) tarnfold::cli::Info(mapPath, json, std::cout);
        if (*check && !tarnfold::cli::Check(mapPath, json, std::cout)) return 1;
        if (*compile) {
            const tarnfold::CompileSummary summary = Compile(mapPath, scriptPath, flags, warnings, std::cerr);
            PrintWarnings(warnings, allWarnings, std::cerr);
            PrintSummary(summary, json, std::cout);
        }
        if (*translate) tarnfold::cli::Translate(scriptPath, flags.engine.value_or(tarnfold::Engine::Custom), std::cout);
        if (*scripts) tarnfold::cli::Scripts(mapPath, outputPath, hsc, flags.engine, std::cout);
    } catch (const std::exception& e) {
        // The warnings first: they often say why.
        PrintWarnings(warnings, allWarnings, std::cerr);
        if (const auto* located = dynamic_cast<const tarnfold::SourceError*>(&e))
            for (const tarnfold::Diagnostic& error : located->Errors()) std::cerr << MessageLine(error, "error") << "\n";
        else
            std::cerr << MessageLine({{}, 0, 0, {}, e.what()}, "error") << "\n";
        if (json) std::cout << Dump(FailureJson(e, warnings));
        return 1;
    }
    return 0;
}
