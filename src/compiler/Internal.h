#pragma once

// What the tests reach that the tools do not: hooks into a compile's write,
// and the builder run on a document alone.

#include <filesystem>
#include <string_view>

#include "compiler/ScriptBuild.h"
#include "compiler/Tarnfold.h"
#include "map/MapTransaction.h"
#include "map/Tag.h"

namespace tarnfold {

// CompileDocument and CompileHsc with `hooks` in the write of the new map.
CompileSummary CompileDocument(const std::filesystem::path& map, std::string_view document,
                               const CompileOptions& options, const WriteHooks& hooks);
CompileSummary CompileHsc(const std::filesystem::path& map, std::string_view source, const std::string& fileName,
                          const CompileOptions& options, const WriteHooks& hooks);

// What a compile of `document` builds in memory; tag constants take the IDs
// of `tags` (a map's tag index) where given.
ScriptBuild BuildDocument(std::string_view document, const std::vector<Tag>* tags = nullptr);

}  // namespace tarnfold
