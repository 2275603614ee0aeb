#include "runtime/Xml.h"

#include <expat.h>

#include <climits>
#include <memory>

namespace tarnfold {

bool XmlNode::HasElementChildren() const {
    for (const auto& child : Children)
        if (child.IsElement()) return true;
    return false;
}

const std::string* XmlNode::FindAttribute(std::string_view name) const {
    for (const auto& [key, value] : Attributes)
        if (key == name) return &value;
    return nullptr;
}

std::string XmlNode::GetAttribute(std::string_view name) const {
    const std::string* value = FindAttribute(name);
    return value ? *value : std::string();
}

namespace {

struct ParserDeleter {
    void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};

// The expat callbacks build the tree through this state.
struct TreeBuilder {
    XML_Parser parser = nullptr;
    XmlNode root;
    bool haveRoot = false;
    std::vector<XmlNode*> open;  // the elements whose end tag is still to come
    std::string pendingText;
    int pendingLine = 0;
    int pendingColumn = 0;
    std::string error;  // a refusal of our own, reported after expat stops
    int errorLine = 0;
    int errorColumn = 0;

    int Line() const { return static_cast<int>(XML_GetCurrentLineNumber(parser)); }
    int Column() const { return static_cast<int>(XML_GetCurrentColumnNumber(parser)) + 1; }

    void Refuse(const std::string& what) {
        if (error.empty()) {
            error = what;
            errorLine = Line();
            errorColumn = Column();
        }
        XML_StopParser(parser, XML_FALSE);
    }

    void FlushText() {
        if (pendingText.empty()) return;
        const bool blank = pendingText.find_first_not_of(" \t\r\n") == std::string::npos;
        if (!blank && !open.empty()) {
            XmlNode node;
            node.kind = XmlNode::Kind::Text;
            node.Text = std::move(pendingText);
            node.Line = pendingLine;
            node.Column = pendingColumn;
            open.back()->Children.push_back(std::move(node));
        }
        pendingText.clear();
    }

    void Start(const XML_Char* name, const XML_Char** attributes) {
        FlushText();
        if (static_cast<int>(open.size()) >= XmlDocument::kMaxDepth) {
            Refuse("elements are nested deeper than " + std::to_string(XmlDocument::kMaxDepth) +
                   " levels");
            return;
        }
        XmlNode node;
        node.Name = name;
        node.Line = Line();
        node.Column = Column();
        for (int i = 0; attributes[i]; i += 2) node.Attributes.emplace_back(attributes[i], attributes[i + 1]);
        if (open.empty()) {
            root = std::move(node);
            haveRoot = true;
            open.push_back(&root);
        } else {
            open.back()->Children.push_back(std::move(node));
            open.push_back(&open.back()->Children.back());
        }
    }

    void End() {
        FlushText();
        open.pop_back();
    }

    void Characters(const XML_Char* text, int length) {
        if (pendingText.empty()) {
            pendingLine = Line();
            pendingColumn = Column();
        }
        pendingText.append(text, static_cast<size_t>(length));
    }

    void Comment(const XML_Char* text) {
        FlushText();
        if (open.empty()) return;  // comments around the document element belong to no element
        XmlNode node;
        node.kind = XmlNode::Kind::Comment;
        node.Text = text;
        node.Line = Line();
        node.Column = Column();
        open.back()->Children.push_back(std::move(node));
    }
};

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attributes) {
    static_cast<TreeBuilder*>(data)->Start(name, attributes);
}
void XMLCALL OnEnd(void* data, const XML_Char*) { static_cast<TreeBuilder*>(data)->End(); }
void XMLCALL OnCharacters(void* data, const XML_Char* text, int length) {
    static_cast<TreeBuilder*>(data)->Characters(text, length);
}
void XMLCALL OnComment(void* data, const XML_Char* text) { static_cast<TreeBuilder*>(data)->Comment(text); }

// Entity declarations are how "billion laughs" documents blow up; a script
// document has no use for them, so they are refused outright.
void XMLCALL OnEntityDeclaration(void* data, const XML_Char* name, int, const XML_Char*, int,
                                 const XML_Char*, const XML_Char*, const XML_Char*, const XML_Char*) {
    static_cast<TreeBuilder*>(data)->Refuse(std::string("entity declarations are not allowed (\"") +
                                            name + "\")");
}

// A document that refers to an external DTD is never complete without it:
// expat does not read it, and then silently drops every undefined entity in
// an attribute value. A script document needs no DTD, so it is refused.
int XMLCALL OnNotStandalone(void* data) {
    static_cast<TreeBuilder*>(data)->Refuse("external document type definitions are not allowed");
    return XML_STATUS_ERROR;
}

void XMLCALL OnSkippedEntity(void* data, const XML_Char* name, int) {
    static_cast<TreeBuilder*>(data)->Refuse(std::string("undefined entity \"") + name + "\"");
}

}  // namespace

void XmlDocument::LoadXml(std::string_view text) {
    std::unique_ptr<XML_ParserStruct, ParserDeleter> parser(XML_ParserCreate(nullptr));
    if (!parser) throw Error("out of memory while creating the XML parser");

    TreeBuilder builder;
    builder.parser = parser.get();
    XML_SetUserData(parser.get(), &builder);
    XML_SetElementHandler(parser.get(), OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser.get(), OnCharacters);
    XML_SetCommentHandler(parser.get(), OnComment);
    XML_SetEntityDeclHandler(parser.get(), OnEntityDeclaration);
    XML_SetSkippedEntityHandler(parser.get(), OnSkippedEntity);
    XML_SetNotStandaloneHandler(parser.get(), OnNotStandalone);
    XML_SetParamEntityParsing(parser.get(), XML_PARAM_ENTITY_PARSING_NEVER);

    // Fed in pieces: XML_Parse takes an int length, and documents may be large.
    constexpr size_t kPiece = 1 << 20;
    size_t at = 0;
    do {
        const size_t count = std::min(kPiece, text.size() - at);
        const bool last = at + count == text.size();
        const auto status = XML_Parse(parser.get(), text.data() + at, static_cast<int>(count), last);
        if (status != XML_STATUS_OK) {
            if (!builder.error.empty()) throw XmlError(builder.error, builder.errorLine, builder.errorColumn);
            const auto code = XML_GetErrorCode(parser.get());
            std::string what = XML_ErrorString(code);
            const auto index = XML_GetCurrentByteIndex(parser.get());
            if (code == XML_ERROR_NO_ELEMENTS && text.find_first_not_of(" \t\r\n") == std::string_view::npos)
                what = "the document is empty";
            else if (code == XML_ERROR_TAG_MISMATCH && !builder.open.empty())
                what += ": the element \"" + builder.open.back()->Name + "\" opened at line " +
                        std::to_string(builder.open.back()->Line) + " is still open";
            else if (index > 0 && static_cast<size_t>(index) <= text.size() &&
                     (text[static_cast<size_t>(index) - 1] == '&' ||
                      (static_cast<size_t>(index) < text.size() && text[static_cast<size_t>(index)] == '&')))
                what += ": a & on its own is written &amp;";
            else if (code == XML_ERROR_UNKNOWN_ENCODING || code == XML_ERROR_INCORRECT_ENCODING)
                what += ": Tarnfold reads UTF-8, UTF-16, ISO-8859-1 and US-ASCII";
            throw XmlError(what, static_cast<int>(XML_GetCurrentLineNumber(parser.get())),
                           static_cast<int>(XML_GetCurrentColumnNumber(parser.get())) + 1);
        }
        at += count;
    } while (at < text.size());

    root_ = std::move(builder.root);
}

}  // namespace tarnfold
