#pragma once

#include <span>
#include <string>
#include <string_view>

#include "scenario/Level.h"

namespace tarnfold::engine {

// What the level says of a name given for a value of `valueType`.
struct NameCheck {
    std::string problem;    // why it names nothing the game would find; empty when it does
    std::string unchecked;  // why it could not be checked (its block could not be read)
};

// Checks a name as the game resolves it when it loads the map: in the
// scenario block of its type (scripts in `scripts`), "encounter",
// "encounter/squad" or "encounter/platoon" for ai (split at the last "/",
// squads before platoons), an object of a type its value type accepts, an
// enumeration member, a tag path of the type's class; names compared without
// letter case, tag paths exactly; "none" where the game takes no value. The
// problem shows what the map does have: the closest name, or all of them
// where there are only a few. Types that are no names (numbers, strings)
// always pass.
NameCheck CheckLevelName(const Level& level, int valueType, std::string_view name,
                         std::span<const std::string> scripts);

// True for the value types whose constants the game finds by name in the
// level, the enumerations or the tags.
bool IsLevelName(int valueType);

}  // namespace tarnfold::engine
