// The number and keyword reader against oracles built on the C library:
// what strtoll/strtod accept whole, in plain decimal, is exactly what the
// reader accepts, with the same value.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "runtime/Numbers.h"

namespace {

void Require(bool ok, const char* what, const std::string& text) {
    if (ok) return;
    std::fprintf(stderr, "number reader: %s for \"%s\"\n", what, text.c_str());
    std::abort();
}

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

bool OnlyOf(const std::string& text, const char* allowed) {
    return text.find_first_not_of(allowed) == std::string::npos;
}

std::optional<int32_t> OracleInteger(const std::string& text) {
    if (text.empty()) return 0;
    if (!OnlyOf(text, "+-0123456789")) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (end != text.c_str() + text.size() || errno == ERANGE || value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<int32_t>(value);
}

std::optional<float> OracleReal(const std::string& text) {
    if (text.empty()) return 0.0f;
    // Plain decimals only: this set leaves out hex, "inf" and "nan".
    if (!OnlyOf(text, "+-.0123456789eE")) return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size()) return std::nullopt;
    const auto narrowed = static_cast<float>(value);
    // A number written with a nonzero digit must not read as 0 (underflow).
    const std::string mantissa = text.substr(0, text.find_first_of("eE"));
    if (std::isinf(narrowed) || (narrowed == 0 && mantissa.find_first_of("123456789") != std::string::npos))
        return std::nullopt;
    return narrowed;
}

bool OracleKeyword(const std::string& text, const char* keyword) {
    const std::string t = Trimmed(text);
    return t.size() == std::strlen(keyword) && ::strncasecmp(t.c_str(), keyword, t.size()) == 0;
}

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (text.find('\0') != std::string::npos) return 0;  // attribute values hold no zero byte
    const std::string trimmed = Trimmed(text);

    Require(tarnfold::ParseInteger(text) == OracleInteger(trimmed), "integer differs from strtoll", text);

    const auto real = tarnfold::ParseReal(text);
    const auto oracle = OracleReal(trimmed);
    Require(real.has_value() == oracle.has_value(), "real accepted differently from strtod", text);
    Require(!real || SameBits(*real, *oracle), "real value differs from strtod", text);

    Require(tarnfold::MatchesKeyword(text, "true") == OracleKeyword(text, "true"), "keyword \"true\"", text);
    Require(tarnfold::MatchesKeyword(text, "false") == OracleKeyword(text, "false"), "keyword \"false\"", text);

    // Every integer the reader gives back reads back from its own decimal form.
    if (const auto value = tarnfold::ParseInteger(text))
        Require(tarnfold::ParseInteger(std::to_string(*value)) == value, "integer does not read back", text);
    return 0;
}
