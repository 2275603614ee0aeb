#pragma once

#include <cstdint>
#include <string_view>

namespace tarnfold {

// Which game a map is for: the function and global numbers differ, and some
// functions exist in Custom Edition only.
enum class Engine : uint8_t { Retail = 0, Custom = 1 };

std::string_view EngineName(Engine engine);  // "retail", "Custom Edition"

}  // namespace tarnfold
