#pragma once

#include <cstdint>
#include <string>

namespace tarnfold {

// A link names a node: its index in the node array in the low half and its
// identity in the high half, as one little-endian int32. All bits set is none.
constexpr uint32_t kNoLink = 0xFFFFFFFFu;

// One 20-byte syntax node as a builder describes it before writing it:
//   +0 int16 identity   +2 int16 engine function   +4 int16 value type
//   +6 int16 kind       +8 next link               +12 int32 text offset
//   +16 four value bytes (a link for a call node)
struct Syntax {
    int32_t ExpIdentity = 0;     // the identity written at +0 (low 16 bits); 0 for fillers
    int32_t EngineIdentity = 0;  // engine function number, or the constant's type
    int32_t ExpType = 0;         // 8 call, 9 name or constant, 13 global; 0/1 fillers
    uint32_t SibExpPointer = kNoLink;  // the next link as written at +8
    int32_t ScriptTableOffset = 0;     // text offset in the string data
    uint32_t ScriptValue = 0;    // the four value bytes, read as a little-endian word
    int32_t KidExpPointer = 0;   // counter value of the node a call node's value links to
    int32_t offset = 0;          // unused
    int32_t ValueType = 0;
    std::string Command;         // the node's text, for reading; stored separately
};

// Node kinds (record offset 6).
enum ExpKind : int32_t {
    kCallNode = 8,
    kNameNode = 9,  // also constants
    kGlobalNode = 13,
};

}  // namespace tarnfold
