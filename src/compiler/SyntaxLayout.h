#pragma once

#include <cstdint>

// The syntax data: a 56-byte header, then a fixed-capacity array of 20-byte
// nodes. Offsets from the start of the header (ScriptNode is header + 36, so
// the same fields lie at ScriptNode + 10 and on).
namespace tarnfold::syntax {

constexpr int32_t kScriptNodeBias = 36;  // ScriptNode = header offset + 36
constexpr int64_t kLastIndex = 46;       // int16: nodes in use minus one
constexpr int64_t kRealSyn = 48;         // int16: nodes that carry an identity
constexpr int64_t kLastIdentity = 50;    // int16: the identity of the last node
constexpr int64_t kHeaderZero = 52;      // int32: 0
constexpr int32_t kHeaderSize = 56;      // the node array starts here
constexpr int64_t kWrittenHeaderSize = kHeaderSize - kLastIndex;  // what a compile writes: +46 to +55

// One node record.
constexpr int32_t kNodeSize = 20;
constexpr int64_t kNodeIdentity = 0;     // int16; 0 marks a free slot (fillers)
constexpr int64_t kNodeEngine = 2;       // int16: engine function number, or a constant's type
constexpr int64_t kNodeValueType = 4;    // int16
constexpr int64_t kNodeKind = 6;         // int16: ExpKind, or 0/1 in fillers
constexpr int64_t kNodeNext = 8;         // link to the next node of the chain
constexpr int64_t kNodeText = 12;        // int32: offset of the node's text in the string data
constexpr int64_t kNodeValue = 16;       // four value bytes; a call node's link to its name node

// Node kinds (record offset 6).
enum ExpKind : int32_t {
    kCallNode = 8,
    kNameNode = 9,  // also constants
    kGlobalNode = 13,
};

// A node's identity, from its index in the array: the engine's rule, which
// runs 0xE373, 0xE374, ... 0xFFFF (index 7308), then 0x8000 on, and never
// gives 0, the mark of a free slot.
constexpr uint16_t Identity(int32_t index) {
    return static_cast<uint16_t>(0x8000 | ((index + 0x6373) & 0x7FFF));
}

// A link names a node: the int16 index, then the int16 identity, read as one
// little-endian word. All bits set is no link.
constexpr uint32_t kNoLink = 0xFFFFFFFFu;
constexpr uint32_t Link(int32_t index) {
    return (static_cast<uint32_t>(index) & 0xFFFFu) | (uint32_t{Identity(index)} << 16);
}
constexpr int32_t LinkIndex(uint32_t link) { return static_cast<int32_t>(link & 0xFFFFu); }
constexpr uint16_t LinkIdentity(uint32_t link) { return static_cast<uint16_t>(link >> 16); }

}  // namespace tarnfold::syntax
