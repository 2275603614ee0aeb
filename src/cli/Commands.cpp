#include "cli/Commands.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "cli/Json.h"
#include "compiler/ScenarioLayout.h"
#include "compiler/Tarnfold.h"
#include "runtime/AtomicFile.h"
#include "runtime/Error.h"
#include "runtime/Utf8Path.h"
#include "runtime/Xml.h"

namespace tarnfold::cli {

namespace {

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

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

}  // namespace

void Info(const std::string& mapPath, bool json, std::ostream& out) {
    const MapReport map = DescribeMap(PathFromUtf8(mapPath));
    if (json) {
        // Tag names are bytes in no set encoding: invalid UTF-8 is replaced, not refused.
        out << ToJson(map).dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
        return;
    }
    out << "map:               " << Utf8(map.map) << "\n"
        << "layout:            " << (map.headLayout ? "\"daeh\" header (index offset at byte 16)"
                                                    : "other header (index offset at byte 1516)")
        << "\n"
        << "index offset:      " << map.indexOffset << "\n"
        << "magic:             " << Hex(static_cast<uint32_t>(map.magic)) << "\n"
        << "tags:              " << map.tagCount << "\n"
        << "scenario:          " << map.scenarioClass << " \"" << map.scenarioName << "\" at offset "
        << map.scenarioOffset << "\n"
        << "syntax data size:  " << map.syntaxDataSize << " bytes\n"
        << "nodes:             " << map.nodes << " of " << map.nodeCapacity << "\n"
        << "scripts:           " << map.scripts << " of " << map.maxScripts << "\n"
        << "string data:       " << map.stringDataSize << " of " << map.maxStringData << " bytes\n"
        << "compiled by:       "
        << (map.compiledByTarnfold       ? "Tarnfold (compile again to replace the scripts)"
            : map.stringDataSize == scenario::kStringReserve ? "nothing yet (no compiled scripts)"
                                         : "another tool (Tarnfold will not compile into it)")
        << "\n";
    if (!map.scriptListProblem.empty()) out << "script list:       cannot be read: " << map.scriptListProblem << "\n";
    for (const ScriptReport& script : map.scriptList) {
        char line[160];
        std::snprintf(line, sizeof line, "  %-31s  %-10s  %-14s  %d nodes\n", script.name.c_str(), script.type.c_str(),
                      script.returnType.c_str(), script.nodes);
        out << line;
    }
}

void Compile(const std::string& mapPath, const std::string& scriptPath, const CompileFlags& flags,
             std::ostream& out, std::ostream& err) {
    CompileOptions options;
    options.dryRun = flags.dryRun;
    options.strict = flags.strict;
    options.engine = flags.engine;
    options.onWarning = [&err](const std::string& warning) {
        err << "tarnfold-cli: warning: " << warning << std::endl;
    };
    options.onWait = [&err](const std::string& note) { err << "tarnfold-cli: " << note << std::endl; };
    const bool hsc = flags.format.empty() ? PathFromUtf8(scriptPath).extension() == ".hsc"
                                          : flags.format == "hsc";
    const std::string text = ReadDocument(scriptPath);
    const auto compile = [&] {
        if (hsc) return CompileHsc(PathFromUtf8(mapPath), text, SourceName(scriptPath), options);
        try {
            return CompileDocument(PathFromUtf8(mapPath), text, options);
        } catch (const XmlError& e) {
            const size_t first = text.find_first_not_of(" \t\r\n");
            if (first == std::string::npos || (text[first] != '(' && text[first] != ';')) throw;
            throw Error(std::string(e.what()) + " (this looks like HSC: give --format hsc)");
        }
    };
    const CompileSummary summary = compile();
    if (flags.json) {
        out << ToJson(summary).dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
        return;
    }
    out << "engine:            " << summary.target << "\n"
        << "scripts:           " << summary.scripts << "\n"
        << "syntax nodes:      " << summary.nodes << " of " << summary.nodeCapacity << "\n"
        << "text bytes:        " << summary.textBytes << "\n"
        << "tail moved by:     " << summary.growth << " bytes\n"
        << "words relocated:   " << summary.relocatedWords << "\n";
    if (summary.recompiled) out << "replaced:          the scripts of an earlier compile\n";
    out << (summary.dryRun ? "dry run: nothing was written\n" : "done!\n");
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
