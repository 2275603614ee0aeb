#pragma once

#include <cstdint>
#include <string>

namespace tarnfold {

// One script as the builder collects it before writing its 92-byte record
// (the record's layout: ScriptRecordLayout.h).
struct ScriptHeader {
    std::string Name;
    int32_t Type = 0;
    int32_t ReturnType = 0;
};

}  // namespace tarnfold
