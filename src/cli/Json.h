#pragma once

#include <nlohmann/json.hpp>

#include "compiler/Tarnfold.h"

// The facts of `info` and `compile` as JSON objects, for build scripts and
// other tools; the field names are documented in the README.
namespace tarnfold::cli {

nlohmann::ordered_json ToJson(const MapReport& map);
nlohmann::ordered_json ToJson(const CompileSummary& summary);
nlohmann::ordered_json ToJson(const LoadCheck& check);

}  // namespace tarnfold::cli
