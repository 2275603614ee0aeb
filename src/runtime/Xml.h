#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "runtime/Error.h"

namespace tarnfold {

// A small document tree of our own, filled by expat: what the compiler walks.
struct XmlNode {
    enum class Kind { Element, Text, Comment };

    Kind kind = Kind::Element;
    std::string Name;  // element name; empty for text and comments
    std::vector<std::pair<std::string, std::string>> Attributes;  // in document order
    std::vector<XmlNode> Children;
    std::string Text;  // content of a text or comment node
    int Line = 0;      // where the node starts, 1-based
    int Column = 0;    // 1-based

    bool IsElement() const { return kind == Kind::Element; }
    bool HasElementChildren() const;
    // The attribute's value, or nullptr when the element has no such attribute.
    const std::string* FindAttribute(std::string_view name) const;
    // The attribute's value; an absent attribute reads as empty text.
    std::string GetAttribute(std::string_view name) const;
};

class XmlError : public Error {
public:
    XmlError(const std::string& what, int line, int column)
        : Error("XML error at line " + std::to_string(line) + ", column " + std::to_string(column) +
                ": " + what),
          line_(line), column_(column) {}
    int Line() const { return line_; }
    int Column() const { return column_; }

private:
    int line_;
    int column_;
};

class XmlDocument {
public:
    // Deeper than this is refused: no script comes near it (the game's own
    // script stack gives out around a dozen levels), and the limit keeps the
    // recursive compile and the tree itself safe from hostile nesting.
    static constexpr int kMaxDepth = 256;

    XmlDocument() = default;
    // A document whose tree was made in memory (a translation), not parsed.
    explicit XmlDocument(XmlNode root) : root_(std::move(root)) {}

    // Parses `text` into the document, replacing what it held. Text made
    // only of white space between elements makes no node. Throws XmlError
    // for anything that is not well-formed (including an empty text).
    void LoadXml(std::string_view text);

    const XmlNode& DocumentElement() const { return root_; }

private:
    XmlNode root_;
};

}  // namespace tarnfold
