#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "compiler/CompileOptions.h"
#include "compiler/ScriptBuild.h"
#include "runtime/MemoryBlock.h"
#include "map/Tag.h"
#include "scenario/Syntax.h"

namespace tarnfold {

class BinaryFile;
class HaloPcMap;
class MapTransaction;
struct MapFile;
struct Level;
struct ScriptData;
struct WriteHooks;
struct XmlNode;
namespace engine {
struct Target;
}
namespace hsc {
struct Translation;
}

// Compiles a script document into a map's scenario. One object holds the
// working state of one build under the names the format's builders use: a
// "counter value" is what a node's identity and index derive from (index =
// counter value - OriganalSyntaxNumber); RealSyn counts the nodes that carry
// an identity. The steps of a compile around the build are in Compile.h.
class ScriptCompilier {
public:
    // The identity counter's value for node index 0.
    static constexpr int32_t OriganalSyntaxNumber = -7309;

    // Locates the scenario's script data in a loaded map and reads its
    // sizes and counts.
    static ScriptData LoadScriptData(const HaloPcMap& map, BinaryFile& file);

    // The whole compile of `document` into `map`, opened under the lock of
    // `transaction`: checks the map, builds every script in memory, checks
    // the capacity and the engine's limits, and replaces the map atomically.
    // Nothing is written unless every check has passed.
    // The names are checked against `target`'s game and the map's `level`,
    // and the game's load pass is run over what is about to be written. The
    // warnings that making the document gave count as the build's.
    CompileSummary BuildScriptData(MapTransaction& transaction, MapFile& map, const hsc::Translation& document,
                                   const engine::Target& target, const Level& level, const CompileOptions& options,
                                   const WriteHooks& hooks);

    // The in-memory part: resets the counters and blocks, stores "begin"
    // and compiles every script and global element under `root`, in order.
    // Tag constants hold the IDs of `tags`, the map's tag index (all bits
    // set where there is none).
    ScriptBuild BuildScripts(const XmlNode& root, const WarningCallback& onWarning = {},
                             const std::vector<Tag>* tags = nullptr);

    // Compiles the expression elements below `node` from counter value `n`
    // on and returns the counter value after the last node made.
    int32_t XmlBuild(const XmlNode& node, int32_t n);

private:
    MemoryBlock SyntaxBlock;  // node records, node k at 20 * k
    MemoryBlock StrBlock;     // the texts, each followed by a zero byte
    int32_t LengthIntoStrings = 0;
    int32_t CurrentSyntaxNumber = OriganalSyntaxNumber;
    int32_t RealSyn = 0;
    ScriptBuild build_;       // scripts, globals and warnings of this build
    WarningCallback onWarning_;
    const std::vector<Tag>* tags_ = nullptr;
    // The scripts a ScriptCall may name: index in the scripts block and type.
    struct CallTarget {
        int32_t index;
        int32_t type;
    };
    std::unordered_map<std::string, CallTarget> callTargets_;

    // The identity of, and a link to, the node made at counter value `m`.
    static uint16_t Identity(int32_t m) { return syntax::Identity(m - OriganalSyntaxNumber); }
    static uint32_t Link(int32_t m) { return syntax::Link(m - OriganalSyntaxNumber); }

    void Warn(Diagnostic warning);
    void BuildScript(const XmlNode& script);
    void BuildGlobal(const XmlNode& global);
    size_t AppendNode(const Syntax& node, const XmlNode* source = nullptr);
    void StoreText(std::string_view text);
    size_t MakeCall(const XmlNode& element, int32_t n, int32_t engine, int16_t flags, const std::string& name);
    size_t MakeCommand(const XmlNode& element, int32_t n);
    size_t MakeValue(const XmlNode& element, int32_t n, bool global);
    size_t MakeScriptCall(const XmlNode& element, int32_t n);
};

}  // namespace tarnfold
