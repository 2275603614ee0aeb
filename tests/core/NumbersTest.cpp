// How the script document's numbers are read: strictly, so that a typo is
// refused rather than compiled as 0.
#include <gtest/gtest.h>

#include <limits>
#include <optional>

#include "runtime/Numbers.h"

namespace tarnfold {
namespace {

TEST(Numbers, Integers) {
    const std::pair<const char*, int32_t> accepted[] = {
        {"", 0}, {" ", 0}, {"  42\t\n", 42}, {"+7", 7}, {"007", 7}, {"-0", 0},
        {"2147483647", std::numeric_limits<int32_t>::max()}, {"-2147483648", std::numeric_limits<int32_t>::min()},
    };
    for (const auto& [text, value] : accepted) EXPECT_EQ(ParseInteger(text), value) << '"' << text << '"';
    for (const char* text : {"2147483648", "-2147483649", "99999999999999999999", "0x10", "1.0", "1e3", "- 1",
                             "--1", "+", "12a", "1 2"})
        EXPECT_EQ(ParseInteger(text), std::nullopt) << '"' << text << '"';
}

TEST(Numbers, Reals) {
    const std::pair<const char*, float> accepted[] = {
        {"", 0.0f}, {"2.5", 2.5f}, {"1.", 1.0f}, {".5", 0.5f}, {" -0.25\n", -0.25f}, {"+3", 3.0f},
        {"2e3", 2000.0f}, {"1E-2", 0.01f}, {"3.4e38", 3.4e38f}, {"0.1", 0.1f},
    };
    for (const auto& [text, value] : accepted) EXPECT_EQ(ParseReal(text), value) << '"' << text << '"';
    for (const char* text : {".", "-.", "e5", "1e", "1e+", "inf", "nan", "0x1p3", "1e39", "-1e39", "1,5", "1.5.2",
                             "- 1", "1f"})
        EXPECT_EQ(ParseReal(text), std::nullopt) << '"' << text << '"';
}

}  // namespace
}  // namespace tarnfold
