#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "map/Tag.h"

namespace tarnfold {

class BinaryFile;
class HaloPcMap;

// The names of one block of the level; `problem` says why they are unknown
// when the block could not be read.
struct LevelNames {
    std::vector<std::string> names;
    std::string problem;
};

// An object name and the type of the object placed under it (-1: none).
struct ObjectName {
    std::string name;
    int16_t type = -1;
};

// An encounter, with its squads and platoons, which scripts name as
// "encounter/squad" and "encounter/platoon".
struct Encounter {
    std::string name;
    std::vector<std::string> squads;
    std::vector<std::string> platoons;
};

// What a map's scripts refer to by name: the blocks of its scenario, the
// hud messages of the scenario's hud message text tag, the navpoints of its
// hud globals, and its tags. A block that cannot be read has its problem
// said, and its names are unknown rather than none.
struct Level {
    std::vector<ObjectName> objectNames;
    std::string objectNamesProblem;
    std::vector<Encounter> encounters;
    std::string encountersProblem;
    LevelNames triggerVolumes, cutsceneFlags, cameraPoints, cutsceneTitles, recordings, deviceGroups, commandLists,
        conversations, startingProfiles, hudMessages, navpoints;
    std::vector<Tag> tags;

    static Level Read(const HaloPcMap& map, BinaryFile& file);
};

}  // namespace tarnfold
