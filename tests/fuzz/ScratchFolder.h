#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>

namespace tarnfold::fuzz {

// A folder of this process's own for the map files the checks write, removed
// when the process ends. In RAM (/dev/shm) when there is one, because every
// compile flushes its map and fuzzing runs thousands of compiles a second.
const std::filesystem::path& ScratchFolder();

// The names in `folder`: a compile must leave no stray file behind.
std::set<std::string> ListFolder(const std::filesystem::path& folder);

void WriteFile(const std::filesystem::path& path, const uint8_t* data, size_t size);

}  // namespace tarnfold::fuzz
