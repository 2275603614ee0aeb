#include "Commands.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "Json.h"
#include "compiler/Tarnfold.h"
#include "runtime/AtomicFile.h"
#include "runtime/Error.h"
#include "runtime/Numbers.h"
#include "runtime/Printable.h"
#include "runtime/Utf8Path.h"
#include "runtime/Xml.h"

namespace tarnfold::cli {

namespace {

std::string ReadDocument(const std::string& path) {
    if (path == "-") return std::string(std::istreambuf_iterator<char>(std::cin), {});
    // A folder opens like a file and reads as nothing, which would be
    // reported as an empty document.
    if (std::filesystem::is_directory(PathFromUtf8(path)))
        throw Error("cannot read the script document '" + path + "': it is a folder");
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    if (!in) throw Error("cannot open the script document '" + path + "': " + std::strerror(errno));
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string SourceName(const std::string& path) { return path == "-" ? "<stdin>" : path; }

// `compile level.map doc.xml` given as `compile doc.xml level.map`: the
// script is a map. Said before the map is read as a script.
void RefuseSwappedArguments(const std::string& mapPath, const std::string& scriptPath) {
    if (scriptPath == "-") return;
    char head[4] = {};
    std::ifstream(PathFromUtf8(scriptPath), std::ios::binary).read(head, sizeof head);
    const auto extension = [](const std::string& path) { return Utf8(PathFromUtf8(path).extension()); };
    const bool scriptIsMap = std::string_view(head, sizeof head) == "daeh" ||
                             (extension(scriptPath) == ".map" && extension(mapPath) != ".map");
    if (scriptIsMap)
        throw Error("'" + scriptPath + "' is a Halo PC map, not a script: the map comes first (tarnfold-cli compile " +
                    scriptPath + " " + mapPath + ")");
}

}  // namespace

void Info(const std::string& mapPath, bool json, std::ostream& out) {
    const MapReport map = DescribeMap(PathFromUtf8(mapPath));
    if (json) {
        out << Dump(ToJson(map));
        return;
    }
    // Every text from the map is made safe to print: a downloaded map could
    // otherwise set the terminal's title or colours.
    const auto shown = [](const std::string& text) { return Printable(text, 1024); };
    out << "map:               " << Printable(Utf8(map.map), 4096) << "\n"
        << "layout:            " << (map.headLayout ? "\"daeh\" header (index offset at byte 16)"
                                                    : "other header (index offset at byte 1516)")
        << "\n"
        << "index offset:      " << map.indexOffset << "\n"
        << "magic:             " << FormatHex(static_cast<uint32_t>(map.magic), 8) << "\n"
        << "tags:              " << map.tagCount << "\n"
        << "scenario:          " << shown(map.scenarioClass) << " \"" << shown(map.scenarioName) << "\" at offset "
        << map.scenarioOffset << "\n"
        << "game:              " << map.game << "\n"
        << "syntax data size:  " << map.syntaxDataSize << " bytes"
        << (map.gameSizedSyntaxData ? "" : ", not 380076: the game ignores a syntax table of any other size")
        << "\n"
        << "nodes:             " << map.nodes << " of " << map.nodeCapacity << "\n"
        << "scripts:           " << map.scripts << " of " << map.maxScripts << "\n"
        << "globals:           " << map.globalList.size() << "\n"
        << "string data:       " << map.stringDataSize << " of " << map.maxStringData << " bytes\n"
        << "compiled by:       "
        << (map.compiledByTarnfold       ? "Tarnfold (compile again to replace the scripts)"
            : !map.hasScripts ? "nothing yet (no compiled scripts)"
                                         : "another tool (compile with --replace-foreign to replace its scripts)")
        << "\n";
    if (!map.scriptListProblem.empty())
        out << "script list:       cannot be read: " << shown(map.scriptListProblem) << "\n";
    if (map.check.checked && map.hasScripts)
        out << "the game:          "
            << (map.check.loads ? "loads the scripts"
                                : "drops every script: " + std::to_string(map.check.failures.size()) +
                                      " problem(s), see tarnfold-cli check")
            << "\n";
    for (const GlobalReport& global : map.globalList)
        out << "  global " << shown(global.type) << " " << shown(global.name) << "\n";
    for (const ScriptReport& script : map.scriptList) {
        char line[320];
        std::snprintf(line, sizeof line, "  %-31s  %-10s  %-14s  %d nodes\n", shown(script.name).c_str(),
                      shown(script.type).c_str(), shown(script.returnType).c_str(), script.nodes);
        out << line;
    }
}

CompileSummary Compile(const std::string& mapPath, const std::string& scriptPath, const CompileFlags& flags,
                       std::vector<Diagnostic>& warnings, std::ostream& err) {
    CompileOptions options;
    options.dryRun = flags.dryRun;
    options.strict = flags.strict;
    options.engine = flags.engine;
    options.documentName = SourceName(scriptPath);
    options.onWarning = [&warnings](const Diagnostic& warning) { warnings.push_back(warning); };
    options.onWait = [&err](const std::string& note) { err << "tarnfold-cli: " << Printable(note, 4096) << std::endl; };
    options.onNote = options.onWait;
    options.replaceForeign = flags.replaceForeign;
    const bool hsc = flags.format.empty() ? PathFromUtf8(scriptPath).extension() == ".hsc"
                                          : flags.format == "hsc";
    RefuseSwappedArguments(mapPath, scriptPath);
    const std::string text = ReadDocument(scriptPath);
    const auto compile = [&] {
        if (hsc) return CompileHsc(PathFromUtf8(mapPath), text, SourceName(scriptPath), options);
        try {
            return CompileDocument(PathFromUtf8(mapPath), text, options);
        } catch (const SourceError& e) {
            if (e.Errors().front().code != XmlError::kCode || !LooksLikeHsc(text)) throw;
            Diagnostic hint = e.Errors().front();
            hint.text += " (this looks like HSC: give --format hsc)";
            throw SourceError({hint});
        }
    };
    return compile();
}

void PrintSummary(const CompileSummary& summary, bool json, std::ostream& out) {
    if (json) {
        out << Dump(ToJson(summary));
        return;
    }
    out << "engine:            " << summary.target << "\n"
        << "scripts:           " << summary.scripts << "\n"
        << "syntax nodes:      " << summary.nodes << " of " << summary.nodeCapacity << "\n"
        << "text bytes:        " << summary.textBytes << "\n"
        << "tail moved by:     " << summary.growth << " bytes\n"
        << "words relocated:   " << summary.relocatedWords << "\n";
    if (summary.recompiled) out << "replaced:          the scripts of an earlier compile\n";
    if (!summary.replaced.empty()) out << "replaced:          " << summary.replaced << "\n";
    if (!summary.check.loads)
        out << "the game:          would drop every script of the map: " << summary.check.failures.size()
            << " problem(s), listed above\n";
    out << (summary.dryRun ? "dry run: nothing was written\n" : "done!\n");
}

bool Check(const std::string& mapPath, bool json, std::ostream& out) {
    const LoadCheck check = CheckMap(PathFromUtf8(mapPath));
    if (json) {
        nlohmann::ordered_json object = {{"ok", true}};
        object.update(ToJson(check));
        out << Dump(object);
        return check.loads;
    }
    for (const std::string& failure : check.failures) out << Printable(failure, 4096) << "\n";
    for (const std::string& note : check.unchecked) out << "not checked: " << Printable(note, 4096) << "\n";
    out << (check.loads ? "the game loads the map's scripts\n"
                        : std::to_string(check.failures.size()) +
                              " problem(s): the game would drop every script of the map\n");
    return check.loads;
}

void Translate(const std::string& sourcePath, Engine engine, std::ostream& out) {
    out << TranslateHsc(ReadDocument(sourcePath), SourceName(sourcePath), engine);
}

void Scripts(const std::string& mapPath, const std::string& outputPath, bool hsc, std::optional<Engine> engine,
             std::ostream& out) {
    const std::filesystem::path map = PathFromUtf8(mapPath);
    const std::string document = hsc ? ReadScriptsAsHsc(map, engine) : ReadScripts(map);
    if (outputPath.empty()) {
        out << document;
        return;
    }
    // Written as a compile writes a map: a failure leaves an existing FILE as
    // it was. Through a link, the file it names is replaced.
    std::error_code ec;
    const std::filesystem::path output = std::filesystem::weakly_canonical(PathFromUtf8(outputPath), ec);
    if (ec) throw Error("cannot write '" + outputPath + "': " + ec.message());
    if (std::filesystem::equivalent(output, map, ec))
        throw Error("the output '" + outputPath + "' is the map itself; give another file (the map was not changed)");
    AtomicFile file(output, "file", AtomicFile::Mode::CreateOrReplace);
    file.Write(reinterpret_cast<const uint8_t*>(document.data()), document.size());
    file.Commit();
}

}  // namespace tarnfold::cli
