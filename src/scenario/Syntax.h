#pragma once

#include <array>
#include <cstdint>

#include "scenario/ValueType.h"

// The syntax data: a 56-byte header, then a fixed-capacity array of 20-byte
// nodes. One node is one `Syntax`, which both the builder and the reader use.
namespace tarnfold::syntax {

// The header, offsets from its start. (The format's builders locate it as
// "ScriptNode", 36 bytes into it, so these fields also lie at ScriptNode + 10
// and on.) Bytes 0 to 45 belong to the engine and are kept.
constexpr int64_t kLastIndex = 46;     // int16: nodes in use minus one
constexpr int64_t kRealSyn = 48;       // int16: nodes that carry an identity
constexpr int64_t kLastIdentity = 50;  // int16: the identity of the last node; an int32 0 follows
constexpr int32_t kHeaderSize = 56;    // the node array starts here

// The header counts nodes in 16 bits, "nodes in use minus one": no syntax
// data, however large, holds more nodes than this.
constexpr int32_t kMaxNodes = 32768;

// One node record.
constexpr int32_t kNodeSize = 20;
constexpr int64_t kNodeIdentity = 0;   // int16; 0 marks a free slot (fillers)
constexpr int64_t kNodeEngine = 2;     // int16: function number, a constant's type, a called script's index
constexpr int64_t kNodeValueType = 4;  // int16
constexpr int64_t kNodeFlags = 6;      // int16: what the node is (NodeFlags), or 0/1 in fillers
constexpr int64_t kNodeNext = 8;       // link to the next node of the chain
constexpr int64_t kNodeText = 12;      // int32: offset of the node's text in the string data
constexpr int64_t kNodeValue = 16;     // four value bytes; a call node's link to its name node

// What a node is: the flag bits at +6 (8 on every node that is an
// expression; 1 a primitive, 2 a script call, 4 a global).
enum NodeFlags : int16_t {
    kCallNode = 8,         // a call of an engine function
    kNameNode = 9,         // a call's name node, or a constant
    kScriptCallNode = 10,  // a call of a static or stub script
    kGlobalNode = 13,      // a reference to a global
};
// The bits of those flags, for readers that take a node by its bits.
constexpr int16_t kPrimitiveBit = 1, kScriptIndexBit = 2, kGlobalBit = 4;

// Value bytes, read as one little-endian word.
constexpr uint32_t kTrue = 0xFFFFFF01u;      // 01 FF FF FF
constexpr uint32_t kFalse = 0xFFFFFF00u;     // 00 FF FF FF
constexpr uint32_t kTextMark = 0xFFFF0000u;  // 00 00 FF FF: a boolean constant that stores a text
// "int16 number, then FF FF"
constexpr uint32_t ShortValue(int32_t number) { return 0xFFFF0000u | (static_cast<uint32_t>(number) & 0xFFFFu); }
constexpr bool IsShortValue(uint32_t value) { return (value & 0xFFFF0000u) == 0xFFFF0000u; }

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

// The part of the header a compile writes, +46 to +55.
struct SyntaxHeader {
    int32_t nodes = 0;    // nodes written; the header holds this minus one
    int32_t realSyn = 0;  // nodes that carry an identity
    static constexpr int64_t kWrittenFrom = kLastIndex;
    std::array<uint8_t, kHeaderSize - kLastIndex> Encode() const;
};

}  // namespace tarnfold::syntax

namespace tarnfold {

// One 20-byte syntax node, field by field.
struct Syntax {
    uint16_t ExpIdentity = 0;     // +0: the identity; 0 in fillers
    int16_t EngineIdentity = 0;   // +2
    int16_t ValueType = 0;        // +4
    int16_t ExpType = 0;          // +6: syntax::NodeFlags, or 0/1 in fillers
    uint32_t SibExpPointer = syntax::kNoLink;  // +8: link to the next node of the chain
    int32_t ScriptTableOffset = 0;  // +12: offset of the node's text in the string data
    uint32_t ScriptValue = 0;     // +16: the value bytes as a little-endian word

    void Encode(uint8_t* record) const;
    static Syntax Decode(const uint8_t* record);
    bool operator==(const Syntax&) const = default;
};

}  // namespace tarnfold
