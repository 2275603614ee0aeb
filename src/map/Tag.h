#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarnfold {

// One entry of a map's tag index, as read.
struct Tag {
    std::string Class1;      // class codes in reading order ("scnr"), file bytes reversed
    std::string Class2;
    std::string Class3;
    int32_t ident = 0;       // the identifier, read unsigned and held as int32
    std::string Name;
    int32_t NameOffset = 0;  // file offset of the name
    int32_t Offset = 0;      // file offset of the tag's data

    // Whether the tag is of `tagClass` by any of its three class codes.
    bool HasClass(std::string_view tagClass) const {
        return Class1 == tagClass || Class2 == tagClass || Class3 == tagClass;
    }
};

}  // namespace tarnfold
