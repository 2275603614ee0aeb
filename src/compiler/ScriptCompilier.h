#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/ScriptHeader.h"
#include "compiler/Syntax.h"
#include "compiler/hsc/Engine.h"
#include "map/MapTransaction.h"
#include "runtime/MemoryBlock.h"

namespace tarnfold {

class BinaryFile;
class HaloPcMap;
class XmlDocument;
struct XmlNode;

// Receives a warning or a note as soon as it arises, so that the tools can
// show it even when the compile then fails.
using MessageCallback = std::function<void(const std::string&)>;

// How a compile runs.
struct CompileOptions {
    bool dryRun = false;  // every check and the whole build, nothing written
    bool strict = false;  // any warning refuses the compile
    MessageCallback onWarning;
    MessageCallback onWait;  // the map is locked by another compile: this one waits
    WriteHooks hooks;     // for tests: a pause after a chunk of the new map
    std::optional<Engine> engine;  // --engine: the target when the map's header names none
    // Further checks of the parsed document, run after the build's own; what
    // they return are warnings like the build's.
    std::function<std::vector<std::string>(const XmlNode& root)> checkDocument;
};

// What a compile did, for the tools to report.
struct CompileSummary {
    int32_t scripts = 0;
    int32_t nodes = 0;
    int32_t nodeCapacity = 0;
    int32_t textBytes = 0;         // L: the texts stored, zero bytes included
    int32_t growth = 0;            // G: how far the rest of the map moved (negative: back)
    int64_t relocatedWords = 0;    // tag index entries and scanned words rewritten
    bool recompiled = false;       // the map held scripts of an earlier compile
    bool dryRun = false;           // nothing was written
    std::string target;            // the game the names were checked against, and why
    std::vector<std::string> warnings;
};

// Compiles an XML script document into a map's scenario. One object holds the
// working state of one build; BuildScriptData starts it afresh each time.
//
// Names kept from the format's documentation: a "counter value" is what a
// node's identity and index derive from (index = counter value -
// OriganalSyntaxNumber); RealSyn counts the nodes that carry an identity.
class ScriptCompilier {
public:
    // The identity counter's value for node index 0.
    static constexpr int32_t OriganalSyntaxNumber = -7309;

    // Located in the map by LoadScriptData (glossary: ScenarioLayout.h).
    int32_t ScriptTable = 0;      // file offset of the string data
    int32_t ScriptTableSize = 0;  // size of the string data as read, reserve included
    int32_t ScriptNode = 0;       // file offset of the syntax data header + 36
    int32_t SyntaxDataSize = 0;
    int32_t SyntaxCount = 0;      // the header's last index (nodes in use - 1) as read
    int32_t RecordCount = 0;      // the script count field as read
    int32_t RecordTable = 0;      // file offset of the first script record as read

    // Built in memory.
    MemoryBlock SyntaxBlock;      // node records, node k at 20 * k
    MemoryBlock StrBlock;         // the texts, each followed by a zero byte
    int32_t LengthIntoStrings = 0;
    int32_t CurrentSyntaxNumber = OriganalSyntaxNumber;
    int32_t RealSyn = 0;          // nodes that carry an identity (all but fillers)
    std::vector<ScriptHeader> Scripts;
    MemoryBlock ScriptRecords;    // 92 bytes per script, in document order
    std::vector<std::string> Warnings;
    MessageCallback OnWarning;    // told of each warning as it is added

    // Locates the scenario's script data and reads its sizes and counts from
    // `file` (the map's own file when not given). Refuses a map whose
    // scenario fields or syntax data header lie outside the file.
    void LoadScriptData(const HaloPcMap& map);
    void LoadScriptData(const HaloPcMap& map, BinaryFile& file);

    // True when the scenario holds scripts that a Tarnfold compile wrote: the
    // string data, its reserve, padding and records lie as a compile lays
    // them out, inside a file of `fileLength` bytes.
    bool CompiledByTarnfold(int64_t fileLength) const;
    // Where the script data that a compile replaces ends: the end of the
    // records of an earlier compile, or the end of the string data.
    int64_t ReplacedEnd() const;
    // Nodes in use as read, within the capacity.
    int32_t NodesInUse() const;

    // Refuses, with a message naming the field and value, a map into which a
    // compile cannot write safely: one whose scripts another tool wrote, or
    // whose string data, syntax data or tag index lie where the insertion
    // would overwrite or move them. Needs LoadScriptData first.
    void CheckScriptData(const HaloPcMap& map) const;

    // The whole compile: locks and re-reads the map, checks it, builds every
    // script in memory, checks the capacity and the engine's limits, and
    // replaces the map atomically with one that holds the new script data.
    // Nothing is written unless every check has passed.
    CompileSummary BuildScriptData(const HaloPcMap& map, const XmlDocument& document,
                                   const CompileOptions& options = {});

    // The in-memory part of a build: resets the counters and blocks, stores
    // "begin" and compiles every script element under `root`.
    void BuildScripts(const XmlNode& root);

    // Compiles the expression elements below `node` from counter value `n`
    // on and returns the counter value after the last node made.
    int32_t XmlBuild(const XmlNode& node, int32_t n);

    int32_t NodeCount() const { return CurrentSyntaxNumber - OriganalSyntaxNumber; }
    int32_t NodeCapacity() const;

    // The identity of, and a link to, the node made at counter value `m`.
    static int32_t Identity(int32_t m) { return syntax::Identity(m - OriganalSyntaxNumber); }
    static uint32_t Link(int32_t m) { return syntax::Link(m - OriganalSyntaxNumber); }

private:
    void Warn(std::string warning);
    void VerifyReadBack(const HaloPcMap& map, const std::filesystem::path& written) const;
    void BuildScript(const XmlNode& script);
    void CheckLimits() const;
    size_t AppendNode(const Syntax& node);
    void StoreText(std::string_view text);
    size_t MakeCommand(const XmlNode& element, int32_t n);
    size_t MakeValue(const XmlNode& element, int32_t n, bool global);
};

}  // namespace tarnfold
