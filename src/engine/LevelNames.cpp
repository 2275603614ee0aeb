#include "engine/LevelNames.h"

#include <vector>

#include "engine/Tables.h"
#include "runtime/Numbers.h"
#include "runtime/Printable.h"

namespace tarnfold::engine {

namespace {

using namespace value_type;

// A block with this few names is listed whole when a name is not found.
constexpr size_t kListedWhole = 6;
// The game's names are 32-byte fields.
constexpr size_t kNameField = 32;

bool SameName(std::string_view a, std::string_view b) {
    return LowerAscii(a.substr(0, kNameField)) == LowerAscii(b.substr(0, kNameField));
}

template <typename Names, typename NameOf>
bool Contains(const Names& names, std::string_view name, NameOf nameOf) {
    for (const auto& entry : names)
        if (SameName(nameOf(entry), name)) return true;
    return false;
}

// What the map does have of `what`, for a message about `name`.
std::string Listing(std::string_view name, const std::vector<std::string>& names, const std::string& what) {
    if (names.empty()) return "; the map has no " + what + "s";
    if (names.size() <= kListedWhole) {
        std::string all;
        for (const std::string& n : names) all += (all.empty() ? "; the map's are: " : ", ") + Printable(n);
        return all;
    }
    const std::vector<std::string_view> views(names.begin(), names.end());
    return Printable(Suggest(LowerAscii(name), views), 2 * kShownBytes);
}

NameCheck InBlock(const LevelNames& block, std::string_view name, const std::string& what) {
    if (!block.problem.empty()) return {{}, what + " names were not checked: " + block.problem};
    if (Contains(block.names, name, [](const std::string& n) { return std::string_view(n); })) return {};
    return {Printable(name) + " is no " + what + " of the map" + Listing(name, block.names, what), {}};
}

constexpr const char* kObjectTypes[] = {"biped",   "vehicle", "weapon",  "equipment",     "garbage",     "projectile",
                                        "scenery", "machine", "control", "light fixture", "placeholder", "sound scenery"};

// The object types (bit n: type n) a value of an object type accepts.
uint32_t ObjectMask(int type) {
    if (type >= kObjectName) type -= kObjectName - kObject;
    switch (type) {
        case kObject + 1: return 0x0003;  // unit: biped, vehicle
        case kObject + 2: return 0x0002;  // vehicle
        case kObject + 3: return 0x0004;  // weapon
        case kObject + 4: return 0x0380;  // device: machine, control, light fixture
        case kObject + 5: return 0x0040;  // scenery
        default: return 0xFFFF;           // object, object_list
    }
}

NameCheck Object(const Level& level, int type, std::string_view name) {
    if (!level.objectNamesProblem.empty()) return {{}, "object names were not checked: " + level.objectNamesProblem};
    for (const ObjectName& object : level.objectNames) {
        if (!SameName(object.name, name)) continue;
        // An object name with nothing placed under it takes any type.
        if (object.type < 0 || object.type >= 12 || (ObjectMask(type) >> object.type & 1)) return {};
        return {Printable(name) + " names " + WithArticle(kObjectTypes[object.type]) + ", not " +
                    WithArticle(TypeName(type)),
                {}};
    }
    std::vector<std::string> names;
    for (const ObjectName& object : level.objectNames) names.push_back(object.name);
    return {Printable(name) + " is no object name of the map" + Listing(name, names, "object name"), {}};
}

NameCheck Ai(const Level& level, std::string_view name) {
    if (!level.encountersProblem.empty()) return {{}, "ai names were not checked: " + level.encountersProblem};
    const size_t slash = name.rfind('/');
    const std::string_view encounterName = name.substr(0, slash);
    for (const Encounter& encounter : level.encounters) {
        if (!SameName(encounter.name, encounterName)) continue;
        if (slash == std::string_view::npos) return {};
        const std::string_view part = name.substr(slash + 1);
        const auto same = [](const std::string& n) { return std::string_view(n); };
        if (Contains(encounter.squads, part, same) || Contains(encounter.platoons, part, same)) return {};
        std::vector<std::string> parts = encounter.squads;
        parts.insert(parts.end(), encounter.platoons.begin(), encounter.platoons.end());
        return {Printable(part) + " is no squad or platoon of the encounter " + Printable(encounter.name) +
                    Listing(part, parts, "squad or platoon"),
                {}};
    }
    std::vector<std::string> encounters;
    for (const Encounter& encounter : level.encounters) encounters.push_back(encounter.name);
    return {Printable(encounterName) + " is no encounter of the map" + Listing(encounterName, encounters, "encounter"),
            {}};
}

NameCheck TagPath(const Level& level, int type, std::string_view path) {
    const std::string_view tagClass = ValueTypeByNumber(type)->tagClass;
    for (const Tag& tag : level.tags)
        if (tag.HasClass(tagClass) && tag.Name == path) return {};
    std::vector<std::string> paths;
    for (const Tag& tag : level.tags)
        if (tag.HasClass(tagClass)) paths.push_back(tag.Name);
    return {Printable(path) + " is no " + TypeName(type) + " (" + std::string(tagClass) + " tag) of the map" +
                Listing(path, paths, std::string(tagClass) + " tag"),
            {}};
}

NameCheck Member(int type, std::string_view name) {
    const ValueType& values = *ValueTypeByNumber(type);
    std::vector<std::string> members;
    for (const std::string_view member : EnumMembers().subspan(values.firstMember, values.memberCount)) {
        if (SameName(member, name)) return {};
        members.emplace_back(member);
    }
    std::string all;
    for (const std::string& member : members) all += (all.empty() ? "" : ", ") + member;
    return {Printable(name) + " is not " + WithArticle(values.name) + " (" + all + ")", {}};
}

}  // namespace

bool IsLevelName(int valueType) { return valueType >= kScript && valueType <= kSceneryName; }

NameCheck CheckLevelName(const Level& level, int type, std::string_view name, std::span<const std::string> scripts) {
    if (!IsLevelName(type)) return {};
    const bool enumeration = type >= 32 && type <= 36;
    if (name == "none" && !enumeration) return {};
    if (enumeration) return Member(type, name);
    if (type >= kFirstTag && type <= kLastTag) return TagPath(level, type, name);
    if (type == kObjectList || type >= kObject) return Object(level, type, name);
    switch (type) {
        case kScript: {
            for (const std::string& script : scripts)
                if (SameName(script, name)) return {};
            return {Printable(name) + " is no script of the map" +
                        Listing(name, std::vector<std::string>(scripts.begin(), scripts.end()), "script"),
                    {}};
        }
        case 11: return InBlock(level.triggerVolumes, name, "trigger volume");
        case 12: return InBlock(level.cutsceneFlags, name, "cutscene flag");
        case 13: return InBlock(level.cameraPoints, name, "cutscene camera point");
        case 14: return InBlock(level.cutsceneTitles, name, "cutscene title");
        case 15: return InBlock(level.recordings, name, "recorded animation");
        case 16: return InBlock(level.deviceGroups, name, "device group");
        case 17: return Ai(level, name);
        case 18: return InBlock(level.commandLists, name, "ai command list");
        case 19: return InBlock(level.startingProfiles, name, "starting profile");
        case 20: return InBlock(level.conversations, name, "conversation");
        case 21: return InBlock(level.navpoints, name, "navpoint");
        case 22: return InBlock(level.hudMessages, name, "hud message");
        default: return {};
    }
}

}  // namespace tarnfold::engine
