#pragma once

#include <cstdint>

namespace tarnfold::math {

// `value` rounded up to the next multiple of `multiple` (a positive number):
// RoundToMultiple(0, 4) = 0, (5, 4) = 8, (8, 4) = 8.
int32_t RoundToMultiple(int32_t value, int32_t multiple);

}  // namespace tarnfold::math
