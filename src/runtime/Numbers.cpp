#include "runtime/Numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

namespace tarnfold {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Length of the run of digits at the start of `text`.
size_t Digits(std::string_view text) {
    size_t n = 0;
    while (n < text.size() && IsDigit(text[n])) ++n;
    return n;
}

}  // namespace

std::string_view TrimWhitespace(std::string_view text) {
    constexpr std::string_view kSpace = " \t\r\n";
    const size_t first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(kSpace);
    return text.substr(first, last - first + 1);
}

std::optional<int32_t> ParseInteger(std::string_view text) {
    text = TrimWhitespace(text);
    if (text.empty()) return 0;
    const bool negative = text.front() == '-';
    if (text.front() == '+' || text.front() == '-') text.remove_prefix(1);
    if (text.empty() || Digits(text) != text.size()) return std::nullopt;

    int64_t magnitude = 0;
    for (char c : text) {
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > int64_t{1} << 31) return std::nullopt;
    }
    const int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int32_t>::max()) return std::nullopt;
    return static_cast<int32_t>(value);
}

std::optional<float> ParseReal(std::string_view text) {
    text = TrimWhitespace(text);
    if (text.empty()) return 0.0f;

    // Check the shape ourselves: from_chars also takes "inf", "nan" and hex.
    std::string_view rest = text;
    if (rest.front() == '+' || rest.front() == '-') rest.remove_prefix(1);
    const size_t whole = Digits(rest);
    rest.remove_prefix(whole);
    size_t fraction = 0;
    if (!rest.empty() && rest.front() == '.') {
        rest.remove_prefix(1);
        fraction = Digits(rest);
        rest.remove_prefix(fraction);
    }
    if (whole + fraction == 0) return std::nullopt;
    if (!rest.empty() && (rest.front() == 'e' || rest.front() == 'E')) {
        rest.remove_prefix(1);
        if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) rest.remove_prefix(1);
        const size_t exponent = Digits(rest);
        if (exponent == 0) return std::nullopt;
        rest.remove_prefix(exponent);
    }
    if (!rest.empty()) return std::nullopt;

    // from_chars takes no leading '+'.
    std::string_view digits = text.front() == '+' ? text.substr(1) : text;
    double value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    // Too small fits no better than too large: a nonzero number that would
    // become 0 is refused, as from_chars already refuses one below double's range.
    const auto narrowed = static_cast<float>(value);
    if (std::isinf(narrowed) || (narrowed == 0 && value != 0)) return std::nullopt;
    return narrowed;
}

std::string FormatReal(float value) {
    const auto same = [value](const std::string& text) {
        const auto back = ParseReal(text);
        return back && std::memcmp(&*back, &value, sizeof value) == 0;
    };
    char text[64];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
    if (ec == std::errc() && same(std::string(text, end))) return std::string(text, end);
    // ParseReal reads a double and narrows it: a shortest float text can round
    // twice. Nine digits rarely do; the double's own 17 digits never do.
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    if (same(text)) return text;
    std::snprintf(text, sizeof text, "%.17g", static_cast<double>(value));
    return text;
}

bool MatchesKeyword(std::string_view text, std::string_view keyword) {
    text = TrimWhitespace(text);
    if (text.size() != keyword.size()) return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (Lower(text[i]) != Lower(keyword[i])) return false;
    return true;
}

std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = Lower(c);
    return lower;
}

std::string FormatHex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, static_cast<unsigned>(value));
    return text;
}

}  // namespace tarnfold
