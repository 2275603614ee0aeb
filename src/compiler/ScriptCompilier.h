#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/ScriptHeader.h"
#include "compiler/Syntax.h"
#include "runtime/MemoryBlock.h"

namespace tarnfold {

class HaloPcMap;
class XmlDocument;
struct XmlNode;

// What a compile did, for the tools to report.
struct CompileSummary {
    int32_t scripts = 0;
    int32_t nodes = 0;
    int32_t textBytes = 0;         // L: the texts stored, zero bytes included
    int32_t growth = 0;            // G: how far the tail of the map moved
    int64_t relocatedWords = 0;    // tag index entries and scanned words rewritten
    std::vector<std::string> warnings;
};

// Compiles an XML script document into a map's scenario. One object holds the
// working state of one build; BuildScriptData starts it afresh each time.
class ScriptCompilier {
public:
    // The identity counter's value for node index 0.
    static constexpr int32_t OriganalSyntaxNumber = -7309;

    // Located in the map by LoadScriptData.
    int32_t ScriptTable = 0;      // file offset of the string data
    int32_t ScriptTableSize = 0;  // size of the string data as read, reserve included
    int32_t ScriptNode = 0;       // file offset of the syntax data header + 36
    int32_t SyntaxDataSize = 0;
    int32_t SyntaxCount = 0;

    // Built in memory.
    MemoryBlock SyntaxBlock;      // node records, node k at 20 * k
    MemoryBlock StrBlock;         // the texts, each followed by a zero byte
    int32_t LengthIntoStrings = 0;
    int32_t CurrentSyntaxNumber = OriganalSyntaxNumber;
    int32_t RealSyn = 0;          // nodes that carry an identity (all but fillers)
    std::vector<ScriptHeader> Scripts;
    MemoryBlock ScriptRecords;    // 92 bytes per script, in document order
    std::vector<std::string> Warnings;

    // Locates the scenario's script data and reads its sizes. Refuses a map
    // whose scenario fields or syntax data header lie outside the file.
    void LoadScriptData(const HaloPcMap& map);

    // Refuses, with a message naming the field and value, a map into which a
    // compile cannot write safely: one that already holds compiled scripts,
    // or whose string data, syntax data or tag index lie where the insertion
    // would overwrite or move them. Needs LoadScriptData first.
    void CheckScriptData(const HaloPcMap& map) const;

    // The whole compile: locks and re-reads the map, checks it, builds every
    // script in memory, checks the capacity, and replaces the map atomically
    // with one that holds the new script data. Nothing is written unless
    // every check has passed.
    CompileSummary BuildScriptData(const HaloPcMap& map, const XmlDocument& document);

    // The in-memory part of a build: resets the counters and blocks, stores
    // "begin" and compiles every script element under `root`. Texts go from
    // LengthIntoStrings on, as LoadScriptData left it (0 for a scenario
    // without compiled scripts).
    void BuildScripts(const XmlNode& root);

    // Compiles the expression elements below `node` from counter value `n`
    // on and returns the counter value after the last node made.
    int32_t XmlBuild(const XmlNode& node, int32_t n);

    int32_t NodeCount() const { return CurrentSyntaxNumber - OriganalSyntaxNumber; }
    int32_t NodeCapacity() const;

    // A link to the node made at counter value `m`.
    static uint32_t Link(int32_t m);

private:
    void BuildScript(const XmlNode& script);
    size_t AppendNode(const Syntax& node);
    void StoreText(std::string_view text);
    size_t MakeCommand(const XmlNode& element, int32_t n);
    size_t MakeValue(const XmlNode& element, int32_t n, bool global);
};

}  // namespace tarnfold
