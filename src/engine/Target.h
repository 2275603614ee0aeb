#pragma once

#include <optional>
#include <string>

#include "engine/Engine.h"

namespace tarnfold {
class HaloPcMap;
}

namespace tarnfold::engine {

// The game a compile targets, and how it was chosen.
struct Target {
    Engine engine = Engine::Custom;
    std::string reason;       // "the map's header says version 609"
    std::string description;  // "Custom Edition (the map's header says version 609)"
    std::string warning;      // a requested engine the header overrides; else empty
};

// The map header's version field says which game the map is for (7: retail,
// 609: Custom Edition); when it says neither, `requested` (--engine) decides,
// and without it Custom Edition, the game maps are mostly modded for.
Target ChooseTarget(const HaloPcMap& map, std::optional<Engine> requested);

}  // namespace tarnfold::engine
