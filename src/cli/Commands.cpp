#include "cli/Commands.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "compiler/ScenarioLayout.h"
#include "compiler/ScriptCompilier.h"
#include "map/HaloPcMap.h"
#include "runtime/BinaryFile.h"
#include "runtime/Error.h"
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
    if (std::filesystem::is_directory(path))
        throw Error("cannot read the script document '" + path + "': it is a folder");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Error("cannot open the script document '" + path + "'");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

void Info(const std::string& mapPath, std::ostream& out) {
    HaloPcMap map;
    map.LoadMap(mapPath);
    ScriptCompilier scripts;
    scripts.LoadScriptData(map);
    BinaryFile file(map.f);
    const int64_t S = map.Scenario()->Offset;
    const int32_t scriptCount = file.ReadInt32(S + scenario::kScriptCount, "script count");

    out << "map:               " << map.f.string() << "\n"
        << "layout:            " << (map.HeadLayout ? "\"daeh\" header (index offset at byte 16)"
                                                    : "other header (index offset at byte 1516)")
        << "\n"
        << "index offset:      " << map.indexOffset << "\n"
        << "magic:             " << Hex(static_cast<uint32_t>(map.Magic)) << "\n"
        << "tags:              " << map.TagCount << "\n"
        << "scenario:          " << map.Scenario()->Class1 << " \"" << map.Scenario()->Name << "\" at offset "
        << map.Scenario()->Offset << "\n"
        << "syntax data size:  " << scripts.SyntaxDataSize << " bytes\n"
        << "node capacity:     " << scripts.NodeCapacity() << "\n"
        << "node count:        " << scripts.SyntaxCount << "\n"
        << "string data size:  " << scripts.ScriptTableSize << " bytes\n"
        << "scripts:           " << scriptCount << "\n";
}

void Compile(const std::string& mapPath, const std::string& scriptPath, std::ostream& out, std::ostream& err) {
    HaloPcMap map;
    map.LoadMap(mapPath);

    XmlDocument document;
    document.PreserveWhitespace = false;
    document.LoadXml(ReadDocument(scriptPath));

    ScriptCompilier compiler;
    const CompileSummary summary = compiler.BuildScriptData(map, document);
    for (const auto& warning : summary.warnings) err << "tarnfold-cli: warning: " << warning << "\n";
    out << "scripts:           " << summary.scripts << "\n"
        << "syntax nodes:      " << summary.nodes << "\n"
        << "text bytes:        " << summary.textBytes << "\n"
        << "tail moved by:     " << summary.growth << " bytes\n"
        << "words relocated:   " << summary.relocatedWords << "\n"
        << "done!\n";
}

}  // namespace tarnfold::cli
