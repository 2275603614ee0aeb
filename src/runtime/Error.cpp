#include "runtime/Error.h"

#include <cstdio>

namespace tarnfold {

std::string DescribeOffset(long long value) {
    char text[64];
    if (value < 0)
        std::snprintf(text, sizeof text, "%lld", value);
    else
        std::snprintf(text, sizeof text, "%lld (0x%llX)", value, value);
    return text;
}

}  // namespace tarnfold
