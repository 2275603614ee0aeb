#include "compiler/math.h"

#include <cmath>

#include "runtime/ByteOrder.h"

namespace tarnfold::math {

int32_t RoundToMultiple(int32_t value, int32_t multiple) {
    if (multiple <= 0) return value;
    const double rounded = std::ceil(static_cast<double>(value) / multiple) * multiple;
    return Wrap32(static_cast<int64_t>(rounded));
}

}  // namespace tarnfold::math
