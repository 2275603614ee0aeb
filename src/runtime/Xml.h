#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "runtime/Diagnostic.h"

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

// A document that is not well-formed, or that the reader refuses, at a
// line and column; the front door names the document's file.
class XmlError : public SourceError {
public:
    static constexpr const char* kCode = "xml";
    XmlError(const std::string& what, int line, int column) : SourceError({{{}, line, column, kCode, what}}) {}
};

class XmlDocument {
public:
    // Deeper than this is refused: no script comes near it (the game's own
    // script stack gives out around a dozen levels), and the limit keeps the
    // recursive compile and the tree itself safe from hostile nesting.
    static constexpr int kMaxDepth = 256;
    // The expressions of a script or a global nest at most this deep: the
    // document element and the script's element take two of the levels.
    static constexpr int kMaxExpressionDepth = kMaxDepth - 2;

    XmlDocument() = default;
    // A document whose tree was made in memory (a translation), not parsed.
    explicit XmlDocument(XmlNode root) : root_(std::move(root)) {}

    // Parses `text` into the document, replacing what it held. Text made
    // only of white space between elements makes no node. Throws XmlError
    // for anything that is not well-formed (including an empty text).
    void LoadXml(std::string_view text);

    const XmlNode& DocumentElement() const& { return root_; }
    // From a document about to go, the tree itself: a large one is not copied.
    XmlNode DocumentElement() && { return std::move(root_); }

private:
    XmlNode root_;
};

}  // namespace tarnfold
