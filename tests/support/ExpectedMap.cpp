#include "ExpectedMap.h"

#include <algorithm>

namespace tarnfold::testing {

Bytes Slice(const Bytes& bytes, int64_t at, int64_t count) {
    return Bytes(bytes.begin() + at, bytes.begin() + at + count);
}

void PrintTo(const Node& n, std::ostream* out) {
    *out << std::hex << "{id 0x" << n.identity << std::dec << ", engine " << n.engine << ", type "
         << n.valueType << ", kind " << n.kind << std::hex << ", next 0x" << n.next << std::dec
         << ", text " << n.text << std::hex << ", value 0x" << n.value << std::dec << "}";
}

std::vector<Node> Nodes(const Bytes& records) {
    std::vector<Node> nodes;
    for (size_t at = 0; at + 20 <= records.size(); at += 20)
        nodes.push_back({uint16_t(Half(records, at)), Half(records, at + 2), Half(records, at + 4),
                         Half(records, at + 6), Word(records, at + 8), int32_t(Word(records, at + 12)),
                         Word(records, at + 16)});
    return nodes;
}

Bytes Records(const std::vector<Node>& nodes) {
    Bytes bytes(20 * nodes.size());
    for (size_t i = 0; i < nodes.size(); ++i) {
        const Node& n = nodes[i];
        const int64_t at = int64_t(20 * i);
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

Node ClosingFiller(int realSyn, int firstBody) { return {0, 0, 2, 1, Pair(realSyn - 1, Id(firstBody + 1)), -1, 0}; }

Bytes ScriptRecord(std::string_view name, int type, int returnType, int rootIndex) {
    Bytes record(92, 0);
    std::copy(name.begin(), name.end(), record.begin());
    PutHalf(record, 32, type);
    PutHalf(record, 34, returnType);
    PutWord(record, 36, Ref(rootIndex));
    return record;
}

Bytes ExpectedMap(const Bytes& before, const ExpectedBuild& build) {
    Bytes b = before;
    // Where things are, read the way a map is read.
    const bool daeh = std::equal(b.begin(), b.begin() + 4, "daeh");
    const int64_t index = int32_t(Word(b, daeh ? 16 : 1516));
    const int64_t tagOffset = index + 40;
    const int32_t magic = int32_t(Word(b, index) - uint32_t(tagOffset));
    const int32_t tagCount = int32_t(Word(b, index + 12));
    const auto offsetOf = [&](int64_t at) { return int64_t(int32_t(Word(b, at) - uint32_t(magic))); };
    const int64_t S = offsetOf(tagOffset + 20);
    const int64_t tag1 = offsetOf(tagOffset + 32 + 20);
    const int64_t strings = offsetOf(S + 1172);
    const int64_t syntax = offsetOf(S + 1152);
    const int64_t P = strings + 1024;

    const auto L = int32_t(build.texts.size());
    const int32_t L4 = (L + 3) / 4 * 4;
    const auto scripts = int32_t(build.records.size() / 92);
    const int32_t G = 92 * scripts + L4;
    const auto nodes = int(build.nodes.size());

    PutWord(b, S + 1160, uint32_t(1024 + L));
    PutWord(b, S + 1180, uint32_t(scripts));
    PutWord(b, S + 1184, uint32_t(P + L4 + magic));
    PutHalf(b, syntax + 46, nodes - 1);
    PutHalf(b, syntax + 48, build.realSyn);
    PutHalf(b, syntax + 50, Id(nodes - 1));
    PutWord(b, syntax + 52, 0);
    const Bytes records = Records(build.nodes);
    std::copy(records.begin(), records.end(), b.begin() + syntax + 56);

    const Bytes tail(b.begin() + P, b.end());
    b.resize(size_t(strings));
    b.insert(b.end(), build.texts.begin(), build.texts.end());
    b.insert(b.end(), 1024, 0x00);
    b.insert(b.end(), size_t(L4 - L), 0xFF);
    b.insert(b.end(), build.records.begin(), build.records.end());
    b.insert(b.end(), tail.begin(), tail.end());
    PutWord(b, S + 1448, Word(b, S + 1448) + uint32_t(G));

    const auto low = int32_t(uint32_t(P) + uint32_t(magic));
    const int64_t high = int64_t(b.size()) + magic;
    const auto relocate = [&](int64_t at) {
        const auto v = int32_t(Word(b, at));
        if (low <= v && v < high) PutWord(b, at, uint32_t(v) + uint32_t(G));
    };
    for (int32_t i = 0; i < tagCount; ++i) relocate(tagOffset + 32 * i + 20);
    for (int64_t at = tag1; at + 4 <= int64_t(b.size()); at += 4) relocate(at);
    return b;
}

}  // namespace tarnfold::testing
