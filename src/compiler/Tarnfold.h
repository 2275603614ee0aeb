#pragma once

// The core's front door: what the command-line tool, the desktop app and the
// tests do with a map, each in one call. Errors are tarnfold::Error with a
// message for the modder; HSC errors are hsc::HscError, one line each.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/CompileOptions.h"
#include "engine/Engine.h"
#include "hsc/Diagnostics.h"

namespace tarnfold {

// One script of a map, as `info` lists it.
struct ScriptReport {
    std::string name;
    std::string type;        // "dormant", or the number where the engine has no such type
    std::string returnType;  // "void", likewise
    int32_t nodes = 0;       // the syntax nodes it takes, fillers and "begin" included
};

// One scenario global of a map, as `info` lists it.
struct GlobalReport {
    std::string name;
    std::string type;  // "short", or the number where the engine has no such type
};


// What Tarnfold sees in a map: its header and tag index, and how much of the
// scenario's script data is in use against what it and the game can hold.
struct MapReport {
    std::filesystem::path map;      // empty: no map is loaded
    std::string game;               // the game the map is for, and why: "Custom Edition (the map's header says version 609)"
    Engine engine = Engine::Custom;  // that game
    std::string engineReason;       // why: "the map's header says version 609"
    bool headLayout = false;        // "daeh" header: index offset at byte 16, else 1516
    int32_t indexOffset = 0;
    int32_t magic = 0;
    int32_t tagCount = 0;
    std::string scenarioClass;
    std::string scenarioName;
    int32_t scenarioOffset = 0;
    int32_t syntaxDataSize = 0;
    bool gameSizedSyntaxData = false;  // 380,076 bytes: the game ignores a syntax table of any other size
    int32_t nodes = 0;              // nodes in use
    int32_t nodeCapacity = 0;
    int32_t scripts = 0;            // the script count field
    int32_t maxScripts = 0;
    int32_t stringDataSize = 0;     // texts + reserve
    int32_t maxStringData = 0;
    bool hasScripts = false;        // the string data holds more than its reserve
    bool compiledByTarnfold = false;
    std::vector<ScriptReport> scriptList;  // read back from the node array
    std::vector<GlobalReport> globalList;  // the scenario's globals
    std::string scriptListProblem;         // why the scripts could not be read back, if so
    LoadCheck check;                       // what the game's load would say of the scripts
};

// Reads and checks the map's header, tag index and script data sizes, and
// runs the game's load pass over its scripts. Names and texts from the map
// are kept as they are: the tools make them safe to print (Printable).
MapReport DescribeMap(const std::filesystem::path& map);

// The game's load pass over the map's scripts as they are: what would make
// it drop every script of the map. A map without scripts passes.
LoadCheck CheckMap(const std::filesystem::path& map);

// Parses `document` (an XML script document) and compiles it into the map,
// replacing the scripts of an earlier compile. Nothing is written unless
// every check passes, and nothing at all with options.dryRun. Names the game
// would not know (functions, globals, numbers, argument counts) are checked
// against the map's engine and reported as warnings. Warnings and errors at
// a place in the document name it as options.documentName; such errors are
// SourceError, "FILE:LINE:COLUMN: error: WHAT".
CompileSummary CompileDocument(const std::filesystem::path& map, std::string_view document,
                               const CompileOptions& options = {});

// HSC source (the official kit's script language) as the equivalent script
// document, with the numbers of `engine`. Throws hsc::HscError listing the
// errors, each "FILE:LINE:COLUMN: error: WHAT".
std::string TranslateHsc(std::string_view source, const std::string& fileName, Engine engine);

// Translates HSC source for the map's engine and compiles the document: the
// same bytes as CompileDocument(map, TranslateHsc(...)).
CompileSummary CompileHsc(const std::filesystem::path& map, std::string_view source, const std::string& fileName,
                          const CompileOptions& options = {});

// True when the text starts with "(" or ";" after white space: HSC, not a
// script document.
bool LooksLikeHsc(std::string_view text);

// HSC or a script document, as LooksLikeHsc tells: what the desktop app's
// script field holds.
CompileSummary CompileScriptText(const std::filesystem::path& map, std::string_view text,
                                 const CompileOptions& options = {});

// The map's scripts as a script document: compiling it into the map leaves
// the map as it is. A map without compiled scripts gives an empty document.
std::string ReadScripts(const std::filesystem::path& map);
// The same as HSC source in the kit's style, for the map's game (or
// `engine` when its header names none). For a map compiled from HSC,
// compiling the text gives the same bytes.
std::string ReadScriptsAsHsc(const std::filesystem::path& map, std::optional<Engine> engine);

}  // namespace tarnfold
