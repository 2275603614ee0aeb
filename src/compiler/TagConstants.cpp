#include "compiler/TagConstants.h"

#include <string_view>

#include "engine/Tables.h"
#include "runtime/Error.h"
#include "runtime/Printable.h"
#include "runtime/XmlAttributes.h"

namespace tarnfold {

namespace {

constexpr uint32_t kNoTag = 0xFFFFFFFFu;
// A class with this few tags is listed whole when a path is not found.
constexpr size_t kListedWhole = 6;

}  // namespace

uint32_t TagConstantId(const std::vector<Tag>& tags, int valueType, const std::string& path, const XmlNode& element) {
    if (path == "none") return kNoTag;
    const engine::ValueType& type = *engine::ValueTypeByNumber(valueType);
    for (const Tag& tag : tags)
        if (tag.Name == path && tag.HasClass(type.tagClass)) return static_cast<uint32_t>(tag.ident);
    // Not found: the paths of the class are gathered only for the message.
    std::vector<std::string_view> paths;
    for (const Tag& tag : tags)
        if (tag.HasClass(type.tagClass)) paths.push_back(tag.Name);
    std::string known;
    if (paths.empty()) {
        known = "; the map has no " + std::string(type.tagClass) + " tag";
    } else if (paths.size() <= kListedWhole) {
        for (const std::string_view p : paths) known += (known.empty() ? "; the map's are: " : ", ") + Printable(p);
    } else {
        known = Printable(engine::Suggest(path, paths), 2 * kShownBytes);
    }
    throw ElementError(element, ": \"" + Printable(path) + "\" is no " + std::string(type.name) + " (" +
                                    std::string(type.tagClass) + " tag) of the map" + known);
}

}  // namespace tarnfold
