#pragma once

#include <filesystem>
#include <string>

namespace tarnfold {

// The name a replacement's temporary file of `target` starts with; six
// random characters follow. Hidden (on Linux) and keeping no file extension
// at its end, so a leftover is never offered as the kind of file it replaces.
std::string TemporaryPrefix(const std::filesystem::path& target);

}  // namespace tarnfold
