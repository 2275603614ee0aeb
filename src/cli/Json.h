#pragma once

#include <exception>
#include <vector>

#include <nlohmann/json.hpp>

#include "compiler/Tarnfold.h"

// The facts of `info`, `check` and `compile` as JSON objects, for build
// scripts and other tools; the field names are documented in the README.
namespace tarnfold::cli {

nlohmann::ordered_json ToJson(const MapReport& map);
nlohmann::ordered_json ToJson(const CompileSummary& summary);
nlohmann::ordered_json ToJson(const LoadCheck& check);
// A warning or an error: file, line, column (null where it names none), code, text.
nlohmann::ordered_json ToJson(const Diagnostic& message);
// A command that failed: "ok": false, the error (the first of several, all
// of them in "errors") and the warnings given before it.
nlohmann::ordered_json FailureJson(const std::exception& error, const std::vector<Diagnostic>& warnings);

// One JSON object as the tool prints it: texts from a map are bytes in no
// set encoding, so invalid UTF-8 is replaced, not refused.
std::string Dump(const nlohmann::ordered_json& object);

}  // namespace tarnfold::cli
