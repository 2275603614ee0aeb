// Reads the names a map's scripts refer to. Every block is bounds-checked;
// one that cannot be read is said once and left unknown.
#include "scenario/Level.h"

#include <string_view>
#include <utility>

#include "map/HaloPcMap.h"
#include "map/MapLayout.h"
#include "runtime/BinaryFile.h"
#include "runtime/ByteOrder.h"
#include "runtime/Error.h"
#include "runtime/Printable.h"
#include "scenario/ScriptRecord.h"

namespace tarnfold {

namespace {

// A block of elements: where its count and address lie (the address right
// after the count), the size of one element, where its name lies in it, and
// the most elements the game takes.
struct BlockLayout {
    const char* what;
    int64_t field;
    int32_t elementSize;
    int32_t name;
    int32_t most;
};

// Offsets from the scenario's data.
constexpr BlockLayout kObjectNames{"object names", 516, 36, 0, 640};
constexpr int32_t kObjectType = 32;  // int16 in an object name element
constexpr BlockLayout kEncounters{"encounters", 1068, 176, 0, 128};
// The blocks whose elements scripts know by name alone.
constexpr struct {
    LevelNames Level::*names;
    BlockLayout layout;
} kNamedBlocks[] = {
    {&Level::triggerVolumes, {"trigger volumes", 864, 96, 4, 256}},
    {&Level::cutsceneFlags, {"cutscene flags", 1252, 92, 4, 512}},
    {&Level::cameraPoints, {"cutscene camera points", 1264, 104, 4, 512}},
    {&Level::cutsceneTitles, {"cutscene titles", 1276, 96, 4, 64}},
    {&Level::recordings, {"recorded animations", 876, 64, 0, 1024}},
    {&Level::deviceGroups, {"device groups", 648, 52, 0, 128}},
    {&Level::commandLists, {"ai command lists", 1080, 96, 0, 256}},
    {&Level::conversations, {"ai conversations", 1128, 116, 0, 128}},
    {&Level::startingProfiles, {"player starting profiles", 840, 104, 0, 256}},
};
// Offsets from an encounter.
constexpr BlockLayout kSquads{"squads", 128, 232, 0, 64};
constexpr BlockLayout kPlatoons{"platoons", 140, 172, 0, 32};
// The scenario's hud message text tag, and its messages.
constexpr int64_t kHudMessagesTagId = 1440;  // the tag ID of the reference at 1428
constexpr BlockLayout kMessages{"hud messages", 32, 64, 0, 1024};
// The navpoints: globals\globals (matg), its interface bitmaps, their hud
// globals tag (hudg), its waypoint arrows.
constexpr BlockLayout kInterfaceBitmaps{"interface bitmaps", 320, 304, 0, 1};
constexpr int64_t kHudGlobalsTagId = 108;  // in an interface bitmaps element
constexpr BlockLayout kWaypointArrows{"waypoint arrows", 352, 104, 0, 16};
constexpr int32_t kNameSize = 32;

class LevelReader {
public:
    LevelReader(const HaloPcMap& map, BinaryFile& file) : map_(map), file_(file) {}

    // The elements of the block whose count lies at `base` + layout.field, as
    // offsets; false, with `problem_` saying why, when it cannot be read.
    bool Elements(const BlockLayout& layout, int64_t base, const std::string& owner, std::vector<int64_t>& out) {
        const int64_t field = base + layout.field;
        if (!file_.Contains(field, 8))
            return Problem(owner + layout.what + " block at offset " + DescribeOffset(field) + " lies outside the file");
        const int32_t count = file_.ReadInt32(field, layout.what);
        const int64_t at = AddressToOffset(file_.ReadInt32(field + 4, layout.what), map_.Magic);
        if (count == 0) return true;
        if (count < 0 || count > layout.most)
            return Problem(owner + layout.what + " block (offset " + DescribeOffset(field) + ") has " +
                           std::to_string(count) + " elements; the game takes 0 to " + std::to_string(layout.most));
        if (!file_.Contains(at, int64_t{layout.elementSize} * count))
            return Problem(owner + layout.what + " block (" + std::to_string(count) + " elements at offset " +
                           DescribeOffset(at) + ") lies outside the file");
        for (int32_t i = 0; i < count; ++i) out.push_back(at + int64_t{layout.elementSize} * i);
        return true;
    }

    std::string Name(int64_t element, const BlockLayout& layout) {
        const auto bytes = file_.ReadBytes(element + layout.name, kNameSize);
        return DecodeName(bytes.data(), kNameSize);
    }

    LevelNames Names(const BlockLayout& layout, int64_t base, const std::string& owner = "the scenario's ") {
        LevelNames names;
        std::vector<int64_t> elements;
        if (!Elements(layout, base, owner, elements)) names.problem = TakeProblem();
        for (const int64_t element : elements) names.names.push_back(Name(element, layout));
        return names;
    }

    // The data of the tag whose ID lies at `field`, or -1 (said once) when
    // it names no tag of the map.
    int64_t TagData(int64_t field, const std::string& what) {
        if (!file_.Contains(field, 4)) return Problem(what + " lies outside the file"), -1;
        const int32_t id = file_.ReadInt32(field, what);
        for (const Tag& tag : map_.TagCache)
            if (tag.ident == id) return tag.Offset;
        return Problem(what + " names tag ID " + DescribeOffset(static_cast<uint32_t>(id)) + ", which the map lacks"), -1;
    }

    bool Problem(std::string what) {
        problem_ = std::move(what);
        return false;
    }
    std::string TakeProblem() { return std::exchange(problem_, std::string()); }

private:
    const HaloPcMap& map_;
    BinaryFile& file_;
    std::string problem_;
};

void ReadEncounters(LevelReader& reader, Level& level, int64_t S) {
    std::vector<int64_t> encounters;
    if (!reader.Elements(kEncounters, S, "the scenario's ", encounters)) level.encountersProblem = reader.TakeProblem();
    for (const int64_t at : encounters) {
        Encounter encounter{reader.Name(at, kEncounters), {}, {}};
        const std::string owner = "encounter \"" + Printable(encounter.name) + "\"'s ";
        const LevelNames squads = reader.Names(kSquads, at, owner), platoons = reader.Names(kPlatoons, at, owner);
        encounter.squads = squads.names;
        encounter.platoons = platoons.names;
        if (level.encountersProblem.empty()) level.encountersProblem = squads.problem.empty() ? platoons.problem : squads.problem;
        level.encounters.push_back(std::move(encounter));
    }
}

LevelNames ReadNavpoints(LevelReader& reader, const HaloPcMap& map) {
    for (const Tag& tag : map.TagCache) {
        if (tag.Class1 != "matg" || tag.Name != "globals\\globals") continue;
        std::vector<int64_t> bitmaps;
        if (!reader.Elements(kInterfaceBitmaps, tag.Offset, "the globals tag's ", bitmaps))
            return {{}, reader.TakeProblem()};
        if (bitmaps.empty()) return {{}, "the globals tag has no interface bitmaps, so no hud globals"};
        const int64_t hud = reader.TagData(bitmaps.front() + kHudGlobalsTagId, "the globals tag's hud globals reference");
        return hud < 0 ? LevelNames{{}, reader.TakeProblem()} : reader.Names(kWaypointArrows, hud, "the hud globals tag's ");
    }
    return {{}, "the map has no globals\\globals tag"};
}

}  // namespace

Level Level::Read(const HaloPcMap& map, BinaryFile& file) {
    Level level;
    level.tags = map.TagCache;
    LevelReader reader(map, file);
    const int64_t S = map.Scenario()->Offset;

    std::vector<int64_t> objects;
    if (!reader.Elements(kObjectNames, S, "the scenario's ", objects)) level.objectNamesProblem = reader.TakeProblem();
    for (const int64_t at : objects)
        level.objectNames.push_back({reader.Name(at, kObjectNames), file.ReadInt16(at + kObjectType, "object type")});
    for (const auto& block : kNamedBlocks) level.*block.names = reader.Names(block.layout, S);
    ReadEncounters(reader, level, S);

    // A scenario without a hud message text tag has no hud messages.
    const bool noMessages =
        file.Contains(S + kHudMessagesTagId, 4) && file.ReadInt32(S + kHudMessagesTagId, "hud messages") == -1;
    if (!noMessages) {
        const int64_t messages = reader.TagData(S + kHudMessagesTagId, "the scenario's hud messages reference");
        level.hudMessages = messages < 0 ? LevelNames{{}, reader.TakeProblem()}
                                         : reader.Names(kMessages, messages, "the hud message text tag's ");
    }
    level.navpoints = ReadNavpoints(reader, map);
    return level;
}

}  // namespace tarnfold
