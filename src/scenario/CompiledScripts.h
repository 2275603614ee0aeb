#pragma once

#include <cstdint>
#include <vector>

#include "scenario/GlobalRecord.h"
#include "scenario/ScriptRecord.h"
#include "scenario/Syntax.h"

namespace tarnfold {

class BinaryFile;
struct ScriptData;

// A scenario's compiled scripts as the game loads them: the nodes in use,
// the string data, and the script and global records.
struct CompiledScripts {
    int32_t syntaxDataSize = 0;
    std::vector<Syntax> nodes;
    std::vector<uint8_t> strings;
    std::vector<ScriptHeader> scripts;
    std::vector<GlobalRecord> globals;

    // Reads them from `file` where `data` says they lie. Refuses, naming the
    // part, what lies outside the file or past the game's limits; `where`
    // opens every message.
    static CompiledScripts Read(const ScriptData& data, BinaryFile& file, const std::string& where);
};

}  // namespace tarnfold
