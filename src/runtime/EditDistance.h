#pragma once

#include <cstddef>
#include <string_view>

namespace tarnfold {

// How many single-character insertions, deletions and substitutions turn `a`
// into `b`: what "did you mean" suggestions are measured by.
size_t EditDistance(std::string_view a, std::string_view b);

}  // namespace tarnfold
