#include "compiler/hsc/Target.h"

#include "runtime/BinaryFile.h"

namespace tarnfold::hsc {

namespace {

constexpr int64_t kVersionField = 4;  // int32 in the map's header
constexpr int32_t kRetailVersion = 7;
constexpr int32_t kCustomVersion = 609;

}  // namespace

Target ChooseTarget(const std::filesystem::path& map, std::optional<Engine> requested) {
    BinaryFile file(map);
    const int32_t version = file.ReadInt32(kVersionField, "the header's version");
    Target target;
    if (version == kRetailVersion || version == kCustomVersion) {
        target.engine = version == kRetailVersion ? Engine::Retail : Engine::Custom;
        target.description = std::string(EngineName(target.engine)) + " (the map's header says version " +
                             std::to_string(version) + ")";
        if (requested && *requested != target.engine)
            target.warning = "--engine " + std::string(*requested == Engine::Retail ? "retail" : "custom") +
                             " is ignored: the map's header says " + std::string(EngineName(target.engine));
        return target;
    }
    target.engine = requested.value_or(Engine::Custom);
    target.description = std::string(EngineName(target.engine)) + (requested ? " (--engine" : " (the default") +
                         "; the map's header version " + std::to_string(version) + " names no game)";
    return target;
}

}  // namespace tarnfold::hsc
