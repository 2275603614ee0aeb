#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "map/Tag.h"

namespace tarnfold {
struct XmlNode;
}

namespace tarnfold {

// The tag ID that a constant of a tag type (sound to object_definition)
// holds in its value bytes: that of the first tag of the index whose path is
// `path` exactly and one of whose three classes is the type's class. "none"
// names no tag (all bits set). Any other path is refused at `element`'s
// place, with the closest paths of that class in the message.
uint32_t TagConstantId(const std::vector<Tag>& tags, int valueType, const std::string& path, const XmlNode& element);

}  // namespace tarnfold
