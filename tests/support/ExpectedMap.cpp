#include "ExpectedMap.h"

#include <algorithm>

#include "compiler/Internal.h"

namespace tarnfold::testing {

using namespace layout;

Bytes Slice(const Bytes& bytes, int64_t at, int64_t count) {
    return Bytes(bytes.begin() + at, bytes.begin() + at + count);
}

void PrintTo(const Node& n, std::ostream* out) {
    *out << std::hex << "{id 0x" << n.identity << std::dec << ", engine " << n.engine << ", type "
         << n.valueType << ", kind " << n.kind << std::hex << ", next 0x" << n.next << std::dec << ", text "
         << n.text << std::hex << ", value 0x" << n.value << std::dec << "}";
}

std::vector<Node> Nodes(const Bytes& records) {
    std::vector<Node> nodes;
    for (size_t at = 0; at + kNodeSize <= records.size(); at += kNodeSize)
        nodes.push_back({uint16_t(Half(records, at)), Half(records, at + 2), Half(records, at + 4),
                         Half(records, at + 6), Word(records, at + 8), int32_t(Word(records, at + 12)),
                         Word(records, at + 16)});
    return nodes;
}

static Bytes Records(const std::vector<Node>& nodes) {
    Bytes bytes(kNodeSize * nodes.size());
    for (size_t i = 0; i < nodes.size(); ++i) {
        const Node& n = nodes[i];
        const int64_t at = int64_t(kNodeSize * i);
        PutHalf(bytes, at, n.identity);
        PutHalf(bytes, at + 2, n.engine);
        PutHalf(bytes, at + 4, n.valueType);
        PutHalf(bytes, at + 6, n.kind);
        PutWord(bytes, at + 8, n.next);
        PutWord(bytes, at + 12, uint32_t(n.text));
        PutWord(bytes, at + 16, n.value);
    }
    return bytes;
}

std::vector<Node> LeadFillers(int first) {
    return {{0, -1, 1, 0, kNone, 0, Ref(first + 1)},
            {0, -1, 0, 1, Ref(first + 2), 0, 0},
            {0, -1, 0, 1, Ref(first + 3), 0, 0},
            {0, -1, 0, 1, Ref(first + 4), 0, 0}};
}

Node ClosingFiller(int realSyn, int firstBody) {
    return {0, 0, 2, 1, Pair(realSyn - 1, Id(firstBody + 1)), -1, 0};
}

Bytes ScriptRecord(std::string_view name, int type, int returnType, int rootIndex) {
    Bytes record(kRecordSize, 0);
    std::copy(name.begin(), name.end(), record.begin());
    PutHalf(record, 32, type);
    PutHalf(record, 34, returnType);
    PutWord(record, 36, Ref(rootIndex));
    return record;
}

ExpectedBuild Built(std::string_view document, const std::vector<Tag>* tags) {
    const ScriptBuild build = BuildDocument(document, tags);
    const auto encoded = [](const auto& list) {
        Bytes bytes;
        for (const auto& record : list) {
            const auto one = record.Encode();
            bytes.insert(bytes.end(), one.begin(), one.end());
        }
        return bytes;
    };
    return {Nodes(build.nodes), build.realSyn, std::string(build.texts.begin(), build.texts.end()),
            encoded(build.scripts), encoded(build.globals)};
}

// The scenario's address fields (offsets from its data) that follow the
// move; the script data's own and +1448 are handled apart.
constexpr int64_t kScenarioAddressFields[] = {
    4,    20,   36,   52,   68,   240,  252,  272,  284,  520,  532,  544,  556,  568,
    580,  592,  604,  616,  628,  640,  652,  664,  676,  688,  700,  712,  724,  736,
    748,  844,  856,  868,  880,  892,  904,  916,  928,  940,  952,  964,  1060, 1072,
    1084, 1096, 1108, 1120, 1132, 1152, 1208, 1220, 1256, 1268, 1280, 1400, 1416, 1432};

Bytes ExpectedMap(const Bytes& before, const ExpectedBuild& build) {
    Bytes b = before;
    // Where things are, read the way a map is read.
    const bool daeh = std::equal(b.begin(), b.begin() + 4, "daeh");
    const int64_t index = int32_t(Word(b, IndexOffsetField(daeh)));
    const int64_t tagOffset = index + kIndexHeaderSize;
    const int32_t magic = int32_t(Word(b, index + kIndexAddress) - uint32_t(tagOffset));
    const int32_t tagCount = int32_t(Word(b, index + kIndexTagCount));
    const auto offsetOf = [&](int64_t at) { return int64_t(int32_t(Word(b, at) - uint32_t(magic))); };
    const int64_t S = offsetOf(tagOffset + kEntryDataAddress);
    const int64_t tag1 = offsetOf(tagOffset + kEntrySize + kEntryDataAddress);
    const int64_t strings = offsetOf(S + kStringDataAddress);
    const int64_t syntax = offsetOf(S + kSyntaxDataAddress);

    // What is replaced: the string data, and after an earlier compile of
    // Tarnfold's its records, which follow the texts, reserve and padding,
    // and then its globals.
    const auto oldSize = int32_t(Word(b, S + kStringDataSize));
    const auto oldScripts = int32_t(Word(b, S + kScriptCount)),
               oldGlobals = int32_t(Word(b, S + kGlobalCount));
    const int64_t oldRecords = strings + kStringReserve + (oldSize - kStringReserve + 3) / 4 * 4;
    const bool tarnfold =
        oldSize > kStringReserve && oldScripts >= 0 && offsetOf(S + kScriptsAddress) == oldRecords &&
        (oldGlobals <= 0 || offsetOf(S + kGlobalsAddress) == oldRecords + kRecordSize * oldScripts);
    const int64_t E0 =
        tarnfold ? oldRecords + kRecordSize * (oldScripts + std::max(oldGlobals, 0)) : strings + oldSize;
    const int32_t capacity = (int32_t(Word(b, S + kSyntaxDataSize)) - kHeaderSize) / kNodeSize;
    const int oldNodes = oldSize > kStringReserve ? std::min(Half(b, syntax + kLastIndex) + 1, capacity) : 0;

    const auto L = int32_t(build.texts.size());
    const int32_t L4 = (L + 3) / 4 * 4;
    const auto scripts = int32_t(build.records.size() / kRecordSize);
    const auto globals = int32_t(build.globals.size() / kRecordSize);
    const int64_t newEnd = kStringReserve + L4 + kRecordSize * (scripts + globals);
    const auto G = int32_t(newEnd - (E0 - strings));
    const auto nodes = int(build.nodes.size());
    // Addresses of [E0, the longer of both ends) move by G.
    const auto low = int32_t(uint32_t(E0) + uint32_t(magic));
    const int64_t high = std::max<int64_t>(before.size(), int64_t(before.size()) + G) + magic;
    const auto relocate = [&](int64_t at) {
        const auto v = int32_t(Word(b, at));
        if (low <= v && v < high) PutWord(b, at, uint32_t(v) + uint32_t(G));
    };

    for (const int64_t field : kScenarioAddressFields) relocate(S + field);
    PutWord(b, S + kMovedAddress, Word(b, S + kMovedAddress) + uint32_t(G));
    if (daeh)
        for (const int64_t field : {8, 20})
            PutWord(b, field, Word(b, field) + uint32_t(G));  // file and tag data size
    PutWord(b, S + kStringDataSize, uint32_t(kStringReserve + L));
    PutWord(b, S + kScriptCount, uint32_t(scripts));
    PutWord(b, S + kScriptsAddress, uint32_t(strings + kStringReserve + L4 + magic));
    if (globals > 0 || oldGlobals != 0) {
        PutWord(b, S + kGlobalCount, uint32_t(globals));
        PutWord(b, S + kGlobalsAddress,
                uint32_t(strings + kStringReserve + L4 + kRecordSize * scripts + magic));
    }
    PutHalf(b, syntax + kLastIndex, nodes - 1);
    PutHalf(b, syntax + kRealSyn, build.realSyn);
    PutHalf(b, syntax + kLastIdentity, Id(nodes - 1));
    PutWord(b, syntax + kHeaderZero, 0);
    const Bytes records = Records(build.nodes);
    std::copy(records.begin(), records.end(), b.begin() + syntax + kHeaderSize);
    // No node of the map's earlier scripts stays behind with a live identity.
    for (int64_t at = syntax + kHeaderSize + kNodeSize * nodes;
         at < syntax + kHeaderSize + kNodeSize * oldNodes; ++at)
        b.at(at) = 0;
    for (int32_t i = 0; i < tagCount; ++i) relocate(tagOffset + kEntrySize * i + kEntryDataAddress);

    const Bytes tail(b.begin() + E0, b.end());
    b.resize(size_t(strings));
    b.insert(b.end(), build.texts.begin(), build.texts.end());
    b.insert(b.end(), kStringReserve, 0x00);
    b.insert(b.end(), size_t(L4 - L), 0xFF);
    b.insert(b.end(), build.records.begin(), build.records.end());
    b.insert(b.end(), build.globals.begin(), build.globals.end());
    b.insert(b.end(), tail.begin(), tail.end());

    // The scan runs from tag 1's data to the end, never inside the data just
    // written: it starts no earlier than the moved part when the map grows,
    // and moves back with tag 1's data when it shrinks.
    int64_t scan = tag1;
    if (tag1 >= E0) scan = G > 0 ? std::max(tag1, E0 + G) : tag1 + G;
    for (int64_t at = scan; at + 4 <= int64_t(b.size()); at += 4) relocate(at);
    return b;
}

}  // namespace tarnfold::testing
