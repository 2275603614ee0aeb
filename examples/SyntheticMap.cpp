#include "SyntheticMap.h"

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
// The scenario's script fields, from tag 0's data.
constexpr int64_t kSyntaxDataSize = 1140, kSyntaxDataAddress = 1152, kStringDataSize = 1160,
                  kStringDataAddress = 1172, kScriptCount = 1180, kScriptsAddress = 1184, kMovedAddress = 1448;
constexpr int32_t kSyntaxHeaderSize = 56, kNodeSize = 20, kLastIndex = 46;

void PutText(Bytes& bytes, int64_t at, const std::string& text) {
    std::copy(text.begin(), text.end(), bytes.begin() + at);
}
void PutWord(Bytes& bytes, int64_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.at(at + i) = static_cast<uint8_t>(value >> (8 * i));
}

// A small deterministic generator, so a seed always gives the same map.
uint32_t Next(uint32_t& state) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

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
    map.indexOffset = headerSize + options.rawDataSize;
    map.tagOffset = map.indexOffset + kIndexHeaderSize;
    const int32_t namesAt = map.tagOffset + kEntrySize * options.tagCount;
    const int32_t namesSize = 32 * options.tagCount;
    map.scenario = namesAt + namesSize;
    const int32_t scenarioSize = 1456;
    map.syntaxHeader = map.scenario + scenarioSize;
    const int32_t syntaxSize = kSyntaxHeaderSize + kNodeSize * options.nodeCapacity;
    map.stringData = map.syntaxHeader + syntaxSize;
    map.tail = map.stringData + options.stringDataSize;
    map.tag1 = map.tail + options.tag1Skew;
    const int64_t length = int64_t{map.tail} + 4 * int64_t{options.tailWords} + options.tailRemainder;

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
        if (r % 4 == 0) word = static_cast<uint32_t>(map.Address(map.tail + (r >> 8) % (4 * int64_t{options.tailWords} + 8)));
        if (r % 4 == 1) word = 0x3F000000u | (r >> 12);  // floats from 0.5 to 1
        PutWord(b, at, word);
    }

    // Tag index header: the address of the first entry, the count.
    PutWord(b, map.indexOffset + 0, static_cast<uint32_t>(map.Address(map.tagOffset)));
    PutWord(b, map.indexOffset + 4, 0xE1F50000u);
    PutWord(b, map.indexOffset + 12, static_cast<uint32_t>(options.tagCount));
    PutText(b, map.indexOffset + 36, "sgat");

    // Entries: tag 0 is the scenario, tag 1 starts the tail, the rest lie in it.
    const int32_t tailBytes = 4 * options.tailWords;
    for (int32_t i = 0; i < options.tagCount; ++i) {
        const int64_t entry = map.Entry(i);
        PutText(b, entry + kEntryClass1, i == 0 ? "rncs" : (i % 2 ? "ejbo" : "pmtb"));
        PutText(b, entry + kEntryClass2, "\xff\xff\xff\xff");
        PutText(b, entry + kEntryClass3, "\xff\xff\xff\xff");
        PutWord(b, entry + kEntryIdent, 0xE1F50000u + static_cast<uint32_t>(i));
        const int32_t name = namesAt + 32 * i;
        PutWord(b, entry + kEntryName, static_cast<uint32_t>(map.Address(name)));
        int32_t data = map.scenario;
        if (i >= 1) data = map.tag1 + (options.tagCount > 1 ? (tailBytes / options.tagCount) * (i - 1) / 4 * 4 : 0);
        PutWord(b, entry + kEntryData, static_cast<uint32_t>(map.Address(data)));
        PutText(b, name, (i == 0 ? "levels\\test\\synthetic\\synthetic" : "tags\\item_" + std::to_string(i)));
    }

    // Scenario: filler words, then the script fields.
    for (int32_t i = 0; i < kSyntaxDataSize; i += 4) PutWord(b, map.scenario + i, 0x11110000u + static_cast<uint32_t>(i));
    const int64_t S = map.scenario;
    PutWord(b, S + kSyntaxDataSize, static_cast<uint32_t>(syntaxSize));
    PutWord(b, S + kSyntaxDataAddress, static_cast<uint32_t>(map.Address(map.syntaxHeader)));
    PutWord(b, S + kStringDataSize, static_cast<uint32_t>(options.stringDataSize));
    PutWord(b, S + kStringDataAddress, static_cast<uint32_t>(map.Address(map.stringData)));
    PutWord(b, S + kScriptCount, 0);
    PutWord(b, S + kScriptsAddress, 0);
    PutWord(b, S + kMovedAddress, static_cast<uint32_t>(map.Address(map.tail + 16)));

    // Syntax data: a header the compile must leave alone before its last
    // index field, and a node array full of stale bytes.
    for (int32_t i = 0; i < kLastIndex; ++i) b[map.syntaxHeader + i] = static_cast<uint8_t>(0xA0 + i);
    PutText(b, map.syntaxHeader, "script node");
    PutWord(b, map.syntaxHeader + 32, static_cast<uint32_t>(options.nodeCapacity));
    for (int32_t i = kSyntaxHeaderSize; i < syntaxSize; ++i) b[map.syntaxHeader + i] = 0xCD;
    b[map.syntaxHeader + kLastIndex] = 0xFF;  // last index -1: no nodes
    b[map.syntaxHeader + kLastIndex + 1] = 0xFF;
    for (int32_t i = kLastIndex + 2; i < kSyntaxHeaderSize; ++i) b[map.syntaxHeader + i] = 0x5A;  // stale

    // The tail: addresses into the moved part, addresses before it, small
    // numbers, floats and words with the high bit set.
    for (int64_t at = map.tail; at + 4 <= length; at += 4) {
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
