// The number and keyword reader against oracles built on the C library: what
// strtoll/strtod accept whole, in plain decimal, is exactly what the reader
// accepts, with the same value.
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

// `text` trimmed and made only of `allowed`, or nullopt.
std::optional<std::string> Plain(const std::string& text, const char* allowed) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return std::string();
    const std::string trimmed = text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
    if (trimmed.find_first_not_of(allowed) != std::string::npos) return std::nullopt;
    return trimmed;
}

std::optional<int32_t> OracleInteger(const std::string& text) {
    const auto plain = Plain(text, "+-0123456789");
    if (!plain || plain->empty()) return plain ? std::optional<int32_t>(0) : std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(plain->c_str(), &end, 10);
    if (*end || errno == ERANGE || value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(value);
}

std::optional<float> OracleReal(const std::string& text) {
    const auto plain = Plain(text, "+-.0123456789eE");  // leaves out hex, "inf" and "nan"
    if (!plain || plain->empty()) return plain ? std::optional<float>(0.0f) : std::nullopt;
    char* end = nullptr;
    const auto value = static_cast<float>(std::strtod(plain->c_str(), &end));
    // Nonzero digits must not read as 0: underflow does not fit either.
    const bool nonzero =
        plain->substr(0, plain->find_first_of("eE")).find_first_of("123456789") != std::string::npos;
    if (*end || std::isinf(value) || (value == 0 && nonzero)) return std::nullopt;
    return value;
}

bool OracleKeyword(const std::string& text, const char* keyword) {
    const auto plain = Plain(text, "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    return plain && ::strcasecmp(plain->c_str(), keyword) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (text.find('\0') != std::string::npos) return 0;  // attribute values hold no zero byte

    Require(tarnfold::ParseInteger(text) == OracleInteger(text), "integer differs from strtoll", text);
    const auto real = tarnfold::ParseReal(text);
    const auto oracle = OracleReal(text);
    Require(real.has_value() == oracle.has_value(), "real accepted differently from strtod", text);
    Require(!real || std::memcmp(&*real, &*oracle, sizeof(float)) == 0, "real value differs from strtod",
            text);
    Require(tarnfold::MatchesKeyword(text, "true") == OracleKeyword(text, "true"), "keyword \"true\"", text);
    Require(tarnfold::MatchesKeyword(text, "false") == OracleKeyword(text, "false"), "keyword \"false\"",
            text);
    if (const auto value = tarnfold::ParseInteger(text))
        Require(tarnfold::ParseInteger(std::to_string(*value)) == value, "integer does not read back", text);
    return 0;
}
