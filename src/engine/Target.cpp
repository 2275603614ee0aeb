#include "engine/Target.h"

#include "map/HaloPcMap.h"

namespace tarnfold::engine {

namespace {

constexpr int32_t kRetailVersion = 7;
constexpr int32_t kCustomVersion = 609;

}  // namespace

Target ChooseTarget(const HaloPcMap& map, std::optional<Engine> requested) {
    const int32_t version = map.Version;
    Target target;
    if (version == kRetailVersion || version == kCustomVersion) {
        target.engine = version == kRetailVersion ? Engine::Retail : Engine::Custom;
        target.reason = "the map's header says version " + std::to_string(version);
        target.description = std::string(EngineName(target.engine)) + " (" + target.reason + ")";
        if (requested && *requested != target.engine)
            target.warning = "--engine " + std::string(*requested == Engine::Retail ? "retail" : "custom") +
                             " is ignored: the map's header says " + std::string(EngineName(target.engine));
        return target;
    }
    target.engine = requested.value_or(Engine::Custom);
    target.reason = std::string(requested ? "--engine" : "the default") + "; the map's header version " +
                    std::to_string(version) + " names no game";
    target.description = std::string(EngineName(target.engine)) + " (" + target.reason + ")";
    return target;
}

}  // namespace tarnfold::engine
