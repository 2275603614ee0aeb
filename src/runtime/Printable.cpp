#include "runtime/Printable.h"

#include <algorithm>
#include <cstdint>

namespace tarnfold {

namespace {

uint32_t Decode(std::string_view text, size_t length) {
    const auto byte = [&](size_t i) { return static_cast<uint32_t>(static_cast<unsigned char>(text[i])); };
    if (length == 1) return byte(0);
    uint32_t c = byte(0) & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) c = c << 6 | (byte(i) & 0x3F);
    return c;
}

// Characters a terminal acts on or that change how the text around them
// reads: C0 and C1 controls, DEL, and the bidirectional overrides.
bool IsUnsafe(uint32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

void AppendHex(std::string& out, std::string_view bytes) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        out += "\\x";
        out += kDigits[u >> 4];
        out += kDigits[u & 0xF];
    }
}

}  // namespace

size_t Utf8SequenceLength(std::string_view text) {
    if (text.empty()) return 0;
    const auto lead = static_cast<unsigned char>(text[0]);
    const size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                          : lead >= 0xF0 && lead <= 0xF4                ? 4
                                                                        : 0;
    if (length == 0 || text.size() < length) return 0;
    for (size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 0;
    const uint32_t c = Decode(text, length);
    const bool shortest = length < 3 || (length == 3 ? c >= 0x800 : c >= 0x10000);
    return shortest && !(c >= 0xD800 && c <= 0xDFFF) && c <= 0x10FFFF ? length : 0;
}

std::string Printable(std::string_view text, size_t limit) {
    std::string out;
    out.reserve(std::min(text.size(), limit) + 8);
    size_t at = 0;
    while (at < text.size()) {
        const size_t length = Utf8SequenceLength(text.substr(at));
        const size_t taken = length == 0 ? 1 : length;
        if (at + taken > limit) {
            out += "\xE2\x80\xA6";  // …
            break;
        }
        const std::string_view piece = text.substr(at, taken);
        if (length == 0 || IsUnsafe(Decode(piece, length)))
            AppendHex(out, piece);
        else
            out += piece;
        at += taken;
    }
    return out;
}

}  // namespace tarnfold
