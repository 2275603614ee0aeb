#pragma once

#include <cstdint>
#include <string>

namespace tarnfold {

// One script as the builder collects it before writing its 92-byte record.
struct ScriptHeader {
    std::string Name;
    int32_t Type = 0;
    int32_t ReturnType = 0;
    int32_t ExpPointer = 0;  // not set by the builder
    int32_t Offset = 0;      // not set by the builder
};

}  // namespace tarnfold
