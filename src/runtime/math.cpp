#include "runtime/math.h"

#include "runtime/ByteOrder.h"

namespace tarnfold::math {

// In 64 bits, so that a value near the top of int32 rounds exactly and then
// wraps as the format's 32-bit arithmetic does.
int32_t RoundToMultiple(int32_t value, int32_t multiple) {
    if (multiple <= 0) return value;
    const int64_t v = value;
    const int64_t remainder = ((v % multiple) + multiple) % multiple;
    return Wrap32(remainder == 0 ? v : v + (multiple - remainder));
}

}  // namespace tarnfold::math
