#include "runtime/XmlWriter.h"

#include <cstdint>
#include <cstdio>

#include "runtime/Error.h"

namespace tarnfold {

namespace {

bool IsXmlChar(uint32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

// Values of text that does not fit an attribute are hex bytes in messages.
std::string Hex(uint8_t byte) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    return std::string("0x") + kDigits[byte >> 4] + kDigits[byte & 0xF];
}

std::string CodePoint(uint32_t c) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
    return text;
}

void AppendAttributeValue(std::string& out, std::string_view value) {
    for (const char c : value) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            // Attribute-value normalisation would turn these into spaces.
            case '\t': out += "&#9;"; break;
            case '\n': out += "&#10;"; break;
            case '\r': out += "&#13;"; break;
            default: out += c;
        }
    }
}

void AppendElement(std::string& out, const XmlNode& node, int depth) {
    if (!node.IsElement()) throw Error("cannot write a text or comment node as XML: only elements are written");
    out.append(2 * static_cast<size_t>(depth), ' ');
    out += '<';
    out += node.Name;
    for (const auto& [name, value] : node.Attributes) {
        if (const std::string why = WhyNotXmlText(value); !why.empty())
            throw Error("attribute \"" + name + "\" of element \"" + node.Name + "\": " + why);
        out += ' ';
        out += name;
        out += "=\"";
        AppendAttributeValue(out, value);
        out += '"';
    }
    if (node.Children.empty()) {
        out += "/>\n";
        return;
    }
    out += ">\n";
    for (const XmlNode& child : node.Children) AppendElement(out, child, depth + 1);
    out.append(2 * static_cast<size_t>(depth), ' ');
    out += "</" + node.Name + ">\n";
}

}  // namespace

std::string WhyNotXmlText(std::string_view text) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    for (size_t i = 0; i < text.size();) {
        const uint8_t lead = bytes[i];
        const size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3
                                                                       : (lead & 0xF8) == 0xF0 ? 4 : 0;
        const std::string where = " at byte " + std::to_string(i);
        if (length == 0 || i + length > text.size()) return "the text is not UTF-8 (byte " + Hex(lead) + where + ")";
        uint32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (size_t k = 1; k < length; ++k) {
            if ((bytes[i + k] & 0xC0) != 0x80)
                return "the text is not UTF-8 (byte " + Hex(bytes[i + k]) + " at byte " + std::to_string(i + k) + ")";
            c = c << 6 | (bytes[i + k] & 0x3F);
        }
        // Overlong forms and surrogates are not UTF-8 either.
        constexpr uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < kSmallest[length] || (c >= 0xD800 && c <= 0xDFFF))
            return "the text is not UTF-8 (byte " + Hex(lead) + where + ")";
        if (!IsXmlChar(c))
            return "the text holds the character " + CodePoint(c) + where + ", which an XML document cannot carry";
        i += length;
    }
    return {};
}

std::string WriteXml(const XmlNode& root) {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    AppendElement(out, root, 0);
    return out;
}

}  // namespace tarnfold
