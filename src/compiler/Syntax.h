#pragma once

#include <cstdint>
#include <string>

#include "compiler/SyntaxLayout.h"

namespace tarnfold {

// One 20-byte syntax node as a builder describes it before writing it (the
// record's layout: SyntaxLayout.h).
struct Syntax {
    int32_t ExpIdentity = 0;     // the identity written at +0; 0 for fillers
    int32_t EngineIdentity = 0;  // engine function number, or the constant's type
    int32_t ExpType = 0;         // syntax::ExpKind; 0 or 1 in fillers
    uint32_t SibExpPointer = syntax::kNoLink;  // the next link as written at +8
    int32_t ScriptTableOffset = 0;     // text offset in the string data
    uint32_t ScriptValue = 0;    // the four value bytes, read as a little-endian word
    int32_t KidExpPointer = 0;   // counter value of the node a call node's value links to
    int32_t ValueType = 0;
    std::string Command;         // the node's text, for reading; stored separately
};

}  // namespace tarnfold
