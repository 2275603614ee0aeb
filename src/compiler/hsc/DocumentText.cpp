#include "compiler/hsc/DocumentText.h"

namespace tarnfold::hsc {

namespace {

void AppendValue(std::string& out, const std::string& value) {
    for (const char c : value) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            // The reader's attribute-value normalisation would turn these into spaces.
            case '\t': out += "&#9;"; break;
            case '\n': out += "&#10;"; break;
            case '\r': out += "&#13;"; break;
            default: out += c;
        }
    }
}

void AppendElement(std::string& out, const XmlNode& node, size_t depth) {
    out.append(2 * depth, ' ');
    out += '<';
    out += node.Name;
    for (const auto& [name, value] : node.Attributes) {
        out += ' ';
        out += name;
        out += "=\"";
        AppendValue(out, value);
        out += '"';
    }
    if (node.Children.empty()) {
        out += "/>\n";
        return;
    }
    out += ">\n";
    for (const XmlNode& child : node.Children) AppendElement(out, child, depth + 1);
    out.append(2 * depth, ' ');
    out += "</" + node.Name + ">\n";
}

}  // namespace

std::string DocumentText(const XmlNode& root) {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    AppendElement(out, root, 0);
    return out;
}

}  // namespace tarnfold::hsc
