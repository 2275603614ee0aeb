#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/Diagnostic.h"
#include "scenario/GlobalRecord.h"
#include "scenario/ScriptRecord.h"

namespace tarnfold {

struct XmlNode;

// What a build made in memory: everything a compile writes into the map's
// script data, and the warnings it gave.
struct ScriptBuild {
    std::vector<uint8_t> nodes;  // node records, node k at 20 * k
    std::vector<uint8_t> texts;  // the texts, each followed by a zero byte
    int32_t nodeCount = 0;
    int32_t realSyn = 0;         // nodes that carry an identity (all but fillers)
    std::vector<ScriptHeader> scripts;
    std::vector<GlobalRecord> globals;
    std::vector<Diagnostic> warnings;
    // The document element that made each node (none for fillers and the
    // "begin" nodes), valid while the document is.
    std::vector<const XmlNode*> sources;

    int32_t TextBytes() const { return static_cast<int32_t>(texts.size()); }
};

}  // namespace tarnfold
