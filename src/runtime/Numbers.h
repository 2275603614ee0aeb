#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// How numbers and keywords in the script document are read. Strict on
// purpose: a typo in a number must be refused, not compiled as 0.
namespace tarnfold {

// White space around the text is ignored; empty text reads as 0. An optional
// sign and decimal digits that fit a signed 32-bit integer; anything else
// gives nullopt.
std::optional<int32_t> ParseInteger(std::string_view text);

// A decimal with optional sign, fraction and exponent ("1.", ".5", "2e3"),
// white space around it ignored, empty text reading as 0. It is read in double
// precision and then narrowed to a 32-bit float; nullopt when it is no such
// number or does not fit a float (too large, or so small that it becomes 0).
std::optional<float> ParseReal(std::string_view text);

// A finite float as the shortest decimal text that ParseReal reads back as
// the same 32 bits, -0 included.
std::string FormatReal(float value);

// "0x" and `digits` upper-case hex digits, as a hex editor shows a value.
std::string FormatHex(uint32_t value, int digits);

// "true" against "TRUE", " True " and so on: letter case and surrounding white
// space do not matter.
bool MatchesKeyword(std::string_view text, std::string_view keyword);

std::string_view TrimWhitespace(std::string_view text);

// `text` with the ASCII letters A to Z in lower case, as the game compares
// names; other bytes are kept.
std::string LowerAscii(std::string_view text);

}  // namespace tarnfold
