#pragma once

#include <cstdint>
#include <string>

namespace tarnfold {
struct XmlNode;
}

namespace tarnfold::fuzz {

// What compiling a document must produce, worked out from the document tree
// alone, without the compiler, so that the checks can hold the compiler to it.
struct ExpectedBuild {
    int32_t scripts = 0;
    int32_t nodes = 0;       // every node written, fillers included
    int32_t identified = 0;  // nodes that carry an identity (all but fillers)
    std::string texts;       // the string data, "begin" first, each text with its zero byte
    std::string refusal;     // why the compile must be refused; empty when it must succeed

    int32_t Growth() const;  // how far the tail of the map moves
};

// `capacity` is the number of nodes the map's syntax data holds.
ExpectedBuild Expect(const XmlNode& root, int32_t capacity);

}  // namespace tarnfold::fuzz
