#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarnfold {

// How much of a name or text from a map or a source a message shows.
inline constexpr size_t kShownBytes = 100;

// Text that came from a map or a source, made safe to print on a terminal
// and in a message: control characters (C0, DEL, C1), the characters that
// reorder text on screen and bytes that are not UTF-8 are written as \xNN
// per byte; a text longer than `limit` bytes is cut there with "…". A map
// could otherwise set a terminal's title or colours, and a 10 MB name would
// be echoed whole.
std::string Printable(std::string_view text, size_t limit = kShownBytes);

// The length of the UTF-8 sequence at the start of `text`, or 0 when it
// starts with a byte that is not the start of a whole, shortest-form
// sequence of a character (no surrogates, nothing past U+10FFFF).
size_t Utf8SequenceLength(std::string_view text);

}  // namespace tarnfold
