#include "SyntheticMap.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <string>

namespace tarnfold {

namespace {

// The map's layout, written out here as numbers rather than taken from the
// code that reads it, so that a wrong offset there shows in the tests.
constexpr int64_t kIndexOffsetInDaeh = 16, kIndexOffsetInOther = 1516;  // header
constexpr int32_t kIndexHeaderSize = 40, kEntrySize = 32;               // tag index
constexpr int64_t kEntryClass1 = 0, kEntryClass2 = 4, kEntryClass3 = 8, kEntryIdent = 12, kEntryName = 16,
                  kEntryData = 20;
// The scenario, 1456 bytes: its script fields and its blocks (count, then address).
constexpr int32_t kScenarioSize = 1456;
constexpr int64_t kSyntaxDataSize = 1140, kSyntaxDataAddress = 1152, kStringDataSize = 1160,
                  kStringDataAddress = 1172, kScripts = 1180, kGlobals = 1192, kReferences = 1204,
                  kHudMessagesTag = 1428, kMovedAddress = 1448;
constexpr int32_t kSyntaxHeaderSize = 56, kNodeSize = 20, kLastIndex = 46, kRecordSize = 92;
constexpr int32_t kKitNodes = 19001;
// The padding of the scenario, where filler shows any stray write.
constexpr std::pair<int32_t, int32_t> kScenarioPadding[] = {{80, 236}, {304, 516}, {756, 840},
                                                            {972, 1056}, {1228, 1252}, {1288, 1396}};

// A named block: where its count lies in its owner, its element size, where
// the name lies in an element.
struct Block {
    int64_t field;
    int32_t size;
    int32_t name;
};
constexpr Block kObjectNames{516, 36, 0}, kTriggerVolumes{864, 96, 4}, kCutsceneFlags{1252, 92, 4},
    kCameraPoints{1264, 104, 4}, kCutsceneTitles{1276, 96, 4}, kRecordings{876, 64, 0}, kDeviceGroups{648, 52, 0},
    kCommandLists{1080, 96, 0}, kConversations{1128, 116, 0}, kStartingProfiles{840, 104, 0},
    kEncounters{1068, 176, 0}, kSquads{128, 232, 0}, kPlatoons{140, 172, 0}, kMessages{32, 64, 0},
    kInterfaceBitmaps{320, 304, 0}, kWaypointArrows{352, 104, 0};

void PutText(Bytes& bytes, int64_t at, const std::string& text) {
    std::copy(text.begin(), text.end(), bytes.begin() + at);
}
void PutWord(Bytes& bytes, int64_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.at(at + i) = static_cast<uint8_t>(value >> (8 * i));
}
void PutHalf(Bytes& bytes, int64_t at, int value) {
    bytes.at(at) = static_cast<uint8_t>(value);
    bytes.at(at + 1) = static_cast<uint8_t>(value >> 8);
}
std::string Reversed(std::string code) { return {code.rbegin(), code.rend()}; }

// A small deterministic generator, so a seed always gives the same map.
uint32_t Next(uint32_t& state) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

// Bytes laid out at a known file offset, and words to write into the file
// once it exists.
struct Region {
    int64_t base = 0;
    Bytes bytes;
    std::vector<std::pair<int64_t, uint32_t>>* words = nullptr;
    int32_t magic = 0;

    int64_t Add(size_t count) {
        const int64_t at = base + static_cast<int64_t>(bytes.size());
        bytes.resize(bytes.size() + count, 0);
        return at;
    }
    uint8_t* At(int64_t offset) { return bytes.data() + (offset - base); }
    void Word(int64_t offset, uint32_t value) {
        if (offset >= base && offset < base + static_cast<int64_t>(bytes.size())) {
            for (int i = 0; i < 4; ++i) At(offset)[i] = static_cast<uint8_t>(value >> (8 * i));
        } else {
            words->push_back({offset, value});
        }
    }
    uint32_t Address(int64_t offset) const { return static_cast<uint32_t>(offset + magic); }

    // Elements of a block whose count and address lie at `owner` + block.field,
    // each with its name; returns where they start.
    int64_t Names(int64_t owner, const Block& block, const std::vector<std::string>& names) {
        if (names.empty()) return 0;
        const int64_t at = Add(static_cast<size_t>(block.size) * names.size());
        for (size_t i = 0; i < names.size(); ++i)
            std::copy(names[i].begin(), names[i].end(), At(at + block.size * static_cast<int64_t>(i) + block.name));
        Word(owner + block.field, static_cast<uint32_t>(names.size()));
        Word(owner + block.field + 4, Address(at));
        return at;
    }
};

// The level's scenario blocks, written into `region`.
void WriteLevel(const SyntheticLevel& level, int64_t S, Region& region) {
    std::vector<std::string> objects;
    for (const auto& [name, type] : level.objectNames) objects.push_back(name);
    if (const int64_t at = region.Names(S, kObjectNames, objects))
        for (size_t i = 0; i < level.objectNames.size(); ++i) {
            uint8_t* type = region.At(at + kObjectNames.size * static_cast<int64_t>(i) + 32);
            type[0] = static_cast<uint8_t>(level.objectNames[i].second);
            type[1] = static_cast<uint8_t>(level.objectNames[i].second >> 8);
        }
    region.Names(S, kTriggerVolumes, level.triggerVolumes);
    region.Names(S, kCutsceneFlags, level.cutsceneFlags);
    region.Names(S, kCameraPoints, level.cameraPoints);
    region.Names(S, kCutsceneTitles, level.cutsceneTitles);
    region.Names(S, kRecordings, level.recordings);
    region.Names(S, kDeviceGroups, level.deviceGroups);
    region.Names(S, kCommandLists, level.commandLists);
    region.Names(S, kConversations, level.conversations);
    region.Names(S, kStartingProfiles, level.startingProfiles);
    std::vector<std::string> encounters;
    for (const SyntheticEncounter& e : level.encounters) encounters.push_back(e.name);
    if (const int64_t at = region.Names(S, kEncounters, encounters))
        for (size_t i = 0; i < level.encounters.size(); ++i) {
            const int64_t encounter = at + kEncounters.size * static_cast<int64_t>(i);
            region.Names(encounter, kSquads, level.encounters[i].squads);
            region.Names(encounter, kPlatoons, level.encounters[i].platoons);
        }
}

// The compiled scripts of the kit's layout: nodes, texts and records.
struct KitScripts {
    Bytes nodes;        // the node array in use
    std::string texts;  // the string data before its reserve
    int32_t count = 0;  // nodes in use
    std::vector<uint32_t> scriptRoots, globalRoots;

    uint32_t Link(int32_t index) const { return static_cast<uint32_t>(index) | uint32_t(0xE373 + index) << 16; }
    int32_t Text(const std::string& text) {
        const auto at = static_cast<int32_t>(texts.size());
        texts += text + '\0';
        return at;
    }
    int32_t Node(int flags, int engine, int type, int32_t text, uint32_t value) {
        const int32_t index = count++;
        const int64_t at = int64_t{kNodeSize} * index;
        nodes.resize(nodes.size() + kNodeSize, 0);
        PutHalf(nodes, at, 0xE373 + index);
        PutHalf(nodes, at + 2, engine);
        PutHalf(nodes, at + 4, type);
        PutHalf(nodes, at + 6, flags);
        PutWord(nodes, at + 8, 0xFFFFFFFFu);
        PutWord(nodes, at + 12, static_cast<uint32_t>(text));
        PutWord(nodes, at + 16, value);
        return index;
    }
    void Chain(int32_t from, int32_t to) { PutWord(nodes, int64_t{kNodeSize} * from + 8, Link(to)); }

    // (begin (sleep 30)), as the kit compiles a script of one statement.
    explicit KitScripts(const SyntheticKitScripts& kit) {
        const int32_t begin = Text("begin"), sleep = Text("sleep"), thirty = Text("30");
        for (size_t g = 0; g < kit.globals.size(); ++g) globalRoots.push_back(Link(Node(9, 7, 7, Text(std::to_string(g)), g)));
        for (size_t s = 0; s < kit.scripts.size(); ++s) {
            const int32_t call = Node(8, 0, 4, begin, 0);
            const int32_t name = Node(9, 0, 2, begin, 0);
            const int32_t sleepCall = Node(8, 19, 4, sleep, 0);
            const int32_t sleepName = Node(9, 19, 2, sleep, 0);
            const int32_t constant = Node(9, 7, 7, thirty, 30);
            PutWord(nodes, kNodeSize * call + 16, Link(name));
            Chain(name, sleepCall);
            PutWord(nodes, kNodeSize * sleepCall + 16, Link(sleepName));
            Chain(sleepName, constant);
            scriptRoots.push_back(Link(call));
        }
    }
};

}  // namespace

int64_t SyntheticMap::Entry(int32_t i) const { return tagOffset + kEntrySize * i; }
uint32_t SyntheticMap::Word(int64_t offset) const {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= uint32_t{bytes.at(offset + i)} << (8 * i);
    return value;
}
void SyntheticMap::SetWord(int64_t offset, uint32_t value) { PutWord(bytes, offset, value); }

void SyntheticMap::Save(const std::filesystem::path& path) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

SyntheticMap BuildSyntheticMap(const SyntheticMapOptions& options) {
    SyntheticMap map;
    map.magic = static_cast<int32_t>(options.magic);
    const int32_t headerSize = 2048;
    if (options.rawDataSize < 0 || options.rawDataSize % 4 != 0)
        throw std::invalid_argument("the raw data size must be a non-negative multiple of 4");
    const SyntheticLevel& level = options.level;
    const bool kit = !options.kit.scripts.empty() || !options.kit.globals.empty();

    // The tags: the default ones, then the level's, then those its hud
    // messages and navpoints need.
    std::vector<SyntheticTag> tags;
    for (int32_t i = 0; i < options.tagCount; ++i)
        tags.push_back({i == 0 ? "scnr" : (i % 2 ? "obje" : "btmp"), "\xff\xff\xff\xff", "\xff\xff\xff\xff",
                        i == 0 ? "levels\\test\\synthetic\\synthetic" : "tags\\item_" + std::to_string(i)});
    tags.insert(tags.end(), level.tags.begin(), level.tags.end());
    const auto messagesTag = static_cast<int32_t>(tags.size());
    if (!level.hudMessages.empty()) tags.push_back({"hmt ", "\xff\xff\xff\xff", "\xff\xff\xff\xff", "ui\\hud\\messages"});
    const auto globalsTag = static_cast<int32_t>(tags.size());
    if (!level.navpoints.empty()) {
        tags.push_back({"matg", "\xff\xff\xff\xff", "\xff\xff\xff\xff", "globals\\globals"});
        tags.push_back({"hudg", "\xff\xff\xff\xff", "\xff\xff\xff\xff", "ui\\hud\\default"});
    }
    const auto ident = [](int32_t i) { return 0xE1F50000u + static_cast<uint32_t>(i); };

    map.indexOffset = headerSize + options.rawDataSize;
    map.tagOffset = map.indexOffset + kIndexHeaderSize;
    const int64_t namesAt = map.tagOffset + kEntrySize * static_cast<int64_t>(tags.size());
    std::vector<int64_t> nameOffsets;
    int64_t namesEnd = namesAt;
    for (const SyntheticTag& tag : tags) {
        nameOffsets.push_back(namesEnd);
        namesEnd += (static_cast<int64_t>(tag.path.size()) + 1 + 31) / 32 * 32;
    }
    map.scenario = static_cast<int32_t>(namesEnd);
    const int64_t S = map.scenario;

    // Before the syntax data: the tags' data of the level, and its blocks.
    std::vector<std::pair<int64_t, uint32_t>> words;
    std::vector<int64_t> levelTagData(tags.size(), 0);
    Region before{S + kScenarioSize, {}, &words, map.magic};
    if (!level.hudMessages.empty()) {
        levelTagData[messagesTag] = before.Add(128);
        before.Names(levelTagData[messagesTag], kMessages, level.hudMessages);
    }
    if (!level.navpoints.empty()) {
        levelTagData[globalsTag] = before.Add(428);
        const int64_t bitmaps = before.Names(levelTagData[globalsTag], kInterfaceBitmaps, {""});
        levelTagData[globalsTag + 1] = before.Add(1104);
        before.Word(bitmaps + 108, ident(globalsTag + 1));
        before.Names(levelTagData[globalsTag + 1], kWaypointArrows, level.navpoints);
    }
    const bool levelAfter = level.afterStrings || kit;
    if (!levelAfter) WriteLevel(level, S, before);

    KitScripts scripts(options.kit);
    const int32_t nodeCapacity = kit ? kKitNodes : options.nodeCapacity;
    const int32_t stringDataSize = kit ? static_cast<int32_t>(scripts.texts.size()) + 1024 : options.stringDataSize;
    map.syntaxHeader = static_cast<int32_t>(before.base + static_cast<int64_t>(before.bytes.size()));
    const int32_t syntaxSize = kSyntaxHeaderSize + kNodeSize * nodeCapacity;
    map.stringData = map.syntaxHeader + syntaxSize;
    map.tail = map.stringData + stringDataSize;

    // After the string data, in the scenario's data: the kit's records and
    // blocks, or the level's blocks when asked.
    Region after{map.tail, {}, &words, map.magic};
    if (kit) {
        const auto records = [&](int64_t field, const std::vector<std::string>& names, const std::vector<uint32_t>& roots,
                                 int64_t root) {
            const int64_t at = after.Names(S, {field, kRecordSize, 0}, names);
            for (size_t i = 0; i < names.size(); ++i) after.Word(at + kRecordSize * static_cast<int64_t>(i) + root, roots[i]);
        };
        records(kScripts, options.kit.scripts, scripts.scriptRoots, 36);
        for (size_t i = 0; i < options.kit.scripts.size(); ++i) {
            after.At(after.base + kRecordSize * static_cast<int64_t>(i) + 32)[0] = 1;  // dormant
            after.At(after.base + kRecordSize * static_cast<int64_t>(i) + 34)[0] = 4;  // void
        }
        records(kGlobals, options.kit.globals, scripts.globalRoots, 40);
        for (size_t i = 0; i < options.kit.globals.size(); ++i)
            after.At(after.base + kRecordSize * static_cast<int64_t>(options.kit.scripts.size() + i) + 32)[0] = 7;  // short
        const int64_t reference = after.Names(S, {kReferences, 40, 0}, {""});
        std::copy_n("ejbo", 4, after.At(reference + 24));
        after.Word(reference + 36, ident(1));
    }
    if (levelAfter) WriteLevel(level, S, after);
    const int64_t tagData = after.base + static_cast<int64_t>(after.bytes.size());
    map.tag1 = static_cast<int32_t>(tagData) + options.tag1Skew;
    const int64_t tailBytes = 4 * int64_t{options.tailWords};
    const int64_t length = tagData + tailBytes + options.tailRemainder;

    auto& b = map.bytes;
    b.assign(static_cast<size_t>(length), 0);
    uint32_t state = options.seed * 2654435761u + 12345;

    // Header: some recognisable filler, the layout mark and the index offset.
    for (int32_t i = 0; i < headerSize; ++i) b[i] = static_cast<uint8_t>(i * 7);
    PutText(b, 0, options.headLayout ? "daeh" : "HEAD");
    PutWord(b, 4, 609);  // the version field: a Custom Edition map
    PutWord(b, options.headLayout ? kIndexOffsetInDaeh : kIndexOffsetInOther, static_cast<uint32_t>(map.indexOffset));

    // Raw data: words that look like vertex data, addresses into the part a
    // compile moves among them. They lie before the scan, so none may move.
    for (int64_t at = headerSize; at < map.indexOffset; at += 4) {
        const uint32_t r = Next(state);
        uint32_t word = r;
        if (r % 4 == 0) word = static_cast<uint32_t>(map.Address(map.tail + (r >> 8) % (tailBytes + 8)));
        if (r % 4 == 1) word = 0x3F000000u | (r >> 12);  // floats from 0.5 to 1
        PutWord(b, at, word);
    }

    // Tag index header: the address of the first entry, the count.
    PutWord(b, map.indexOffset + 0, static_cast<uint32_t>(map.Address(map.tagOffset)));
    PutWord(b, map.indexOffset + 4, ident(0));
    PutWord(b, map.indexOffset + 12, static_cast<uint32_t>(tags.size()));
    PutText(b, map.indexOffset + 36, "sgat");

    // Entries: tag 0 is the scenario, tag 1 starts the tail, the other
    // default tags lie in it, the level's tags before the syntax data.
    for (int32_t i = 0; i < static_cast<int32_t>(tags.size()); ++i) {
        const int64_t entry = map.Entry(i);
        PutText(b, entry + kEntryClass1, Reversed(tags[i].class1));
        PutText(b, entry + kEntryClass2, Reversed(tags[i].class2));
        PutText(b, entry + kEntryClass3, Reversed(tags[i].class3));
        PutWord(b, entry + kEntryIdent, ident(i));
        PutWord(b, entry + kEntryName, static_cast<uint32_t>(map.Address(nameOffsets[i])));
        int64_t data = levelTagData[i] ? levelTagData[i] : S;
        if (i >= 1 && i < options.tagCount) data = map.tag1 + (tailBytes / options.tagCount) * (i - 1) / 4 * 4;
        PutWord(b, entry + kEntryData, static_cast<uint32_t>(map.Address(data)));
        PutText(b, nameOffsets[i], tags[i].path);
    }

    // Scenario: empty blocks, filler in its padding, then the script fields.
    for (const auto& [from, to] : kScenarioPadding)
        for (int32_t i = from; i < to; i += 4) PutWord(b, S + i, 0x11110000u + static_cast<uint32_t>(i));
    PutWord(b, S + kSyntaxDataSize, static_cast<uint32_t>(syntaxSize));
    PutWord(b, S + kSyntaxDataAddress, static_cast<uint32_t>(map.Address(map.syntaxHeader)));
    PutWord(b, S + kStringDataSize, static_cast<uint32_t>(stringDataSize));
    PutWord(b, S + kStringDataAddress, static_cast<uint32_t>(map.Address(map.stringData)));
    PutWord(b, S + kHudMessagesTag + 12, level.hudMessages.empty() ? 0xFFFFFFFFu : ident(messagesTag));
    PutWord(b, S + kMovedAddress, static_cast<uint32_t>(map.Address(map.tail + 16)));
    for (const auto& [at, word] : words) PutWord(b, at, word);
    std::copy(before.bytes.begin(), before.bytes.end(), b.begin() + before.base);
    std::copy(after.bytes.begin(), after.bytes.end(), b.begin() + after.base);

    // Syntax data: a header the compile must leave alone before its last
    // index field, and a node array full of stale bytes (or the kit's nodes).
    for (int32_t i = 0; i < kLastIndex; ++i) b[map.syntaxHeader + i] = static_cast<uint8_t>(0xA0 + i);
    PutText(b, map.syntaxHeader, "script node");
    PutWord(b, map.syntaxHeader + 32, static_cast<uint32_t>(nodeCapacity));
    for (int32_t i = kSyntaxHeaderSize; i < syntaxSize; ++i) b[map.syntaxHeader + i] = kit ? 0 : 0xCD;
    PutHalf(b, map.syntaxHeader + kLastIndex, scripts.count - 1);  // -1: no nodes
    for (int32_t i = kLastIndex + 2; i < kSyntaxHeaderSize; ++i) b[map.syntaxHeader + i] = 0x5A;  // stale
    std::copy(scripts.nodes.begin(), scripts.nodes.end(), b.begin() + map.syntaxHeader + kSyntaxHeaderSize);
    PutText(b, map.stringData, scripts.texts);

    // The tail: addresses into the moved part, addresses before it, small
    // numbers, floats and words with the high bit set.
    for (int64_t at = tagData; at + 4 <= length; at += 4) {
        const uint32_t r = Next(state);
        uint32_t word;
        switch (r % 6) {
            case 0: word = static_cast<uint32_t>(map.Address(map.tail + (r >> 8) % (tailBytes + 8))); break;
            case 1: word = static_cast<uint32_t>(map.Address((r >> 8) % map.tail)); break;
            case 2: word = r % 1000; break;
            case 3: word = 0x3F800000u; break;
            case 4: word = 0x80000000u | r; break;
            default: word = r; break;
        }
        PutWord(b, at, word);
    }
    for (int64_t at = length - options.tailRemainder; at < length; ++at) b[at] = 0x7E;
    return map;
}

}  // namespace tarnfold
