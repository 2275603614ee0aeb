// Reads compiled scripts back into a script document: the inverse of the
// builders, so that compiling the document again gives the same bytes.
#include "compiler/ScriptReader.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "compiler/ScenarioLayout.h"
#include "compiler/ScriptCompilier.h"
#include "compiler/ScriptRecordLayout.h"
#include "compiler/SyntaxLayout.h"
#include "compiler/Tarnfold.h"
#include "map/HaloPcMap.h"
#include "runtime/BinaryFile.h"
#include "runtime/ByteOrder.h"
#include "runtime/Error.h"
#include "runtime/Utf8Path.h"
#include "runtime/Numbers.h"
#include "runtime/XmlWriter.h"

namespace tarnfold {

namespace {

using namespace syntax;

// A document deeper than the XML reader accepts could not be compiled again:
// the root and the script element take two of its levels.
constexpr int kMaxExpressionDepth = XmlDocument::kMaxDepth - 2;

// The value bytes the builders write for the keywords and for "int16, FF FF".
constexpr uint32_t kTrue = 0xFFFFFF01u;
constexpr uint32_t kFalse = 0xFFFFFF00u;
constexpr uint32_t kTextFlag = 0xFFFF0000u;  // a type-5 constant that stored a text

std::string Hex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, static_cast<unsigned>(value));
    return text;
}

// Four value bytes as a hex editor shows them.
std::string FileOrder(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02X %02X %02X %02X", value & 0xFF, value >> 8 & 0xFF, value >> 16 & 0xFF,
                  value >> 24);
    return text;
}

struct Node {
    uint16_t identity;
    int16_t engine;
    int16_t valueType;
    int16_t kind;
    uint32_t next;
    int32_t text;
    uint32_t value;
};

// One expression as found by the walk: its first node and its arguments.
struct Expression {
    int32_t node;
    std::vector<Expression> arguments;
};

class Reader {
public:
    Reader(std::string where, std::vector<Node> nodes, std::vector<uint8_t> strings, int32_t textsEnd)
        : where_(std::move(where)), nodes_(std::move(nodes)), strings_(std::move(strings)), textsEnd_(textsEnd),
          visited_(nodes_.size()), body_(nodes_.size()), stored_(nodes_.size()) {}

    // Walks one record's root call node ("begin") into its body expressions.
    std::vector<Expression> WalkScript(const uint8_t* record, int32_t number, int32_t count) {
        Name(record, number, count);
        const int32_t root = Follow(ReadUInt32LE(record + script_record::kRoot), -1);
        if (nodes_[root].kind != kCallNode) Fail(root, "the script's root node is " + Kind(root) + ", not a call");
        const int32_t begin = Follow(nodes_[root].value, root);
        if (nodes_[begin].kind != kNameNode) Fail(begin, "the root call's name node is " + Kind(begin));
        return Chain(nodes_[begin].next, begin, 1);
    }

    // Whether a body node stored a text: the builders store texts in the
    // order they make nodes, so a node stored one exactly when the next body
    // node's text offset (or, after the last, the end of the texts) lies past
    // its own.
    void FindStoredTexts() {
        int32_t following = textsEnd_;
        for (size_t i = nodes_.size(); i-- > 0;) {
            if (!body_[i]) continue;
            stored_[i] = following > nodes_[i].text;
            following = nodes_[i].text;
        }
    }

    XmlNode Script(const uint8_t* record, const std::vector<Expression>& body, int32_t number, int32_t count) {
        const std::string name = Name(record, number, count);
        if (const std::string why = WhyNotXmlText(name); !why.empty()) Fail(-1, "its name: " + why);

        XmlNode script;
        script.Name = "script";
        script.Attributes = {{"NameAttr", name},
                             {"TypeAttr", std::to_string(ReadInt16LE(record + script_record::kType))},
                             {"ReTypeAttr", std::to_string(ReadInt16LE(record + script_record::kReturnType))}};
        for (const Expression& expression : body) script.Children.push_back(Element(expression));
        return script;
    }

private:
    // The record's name field up to its zero byte; names the script in messages.
    std::string Name(const uint8_t* record, int32_t number, int32_t count) {
        std::string name(reinterpret_cast<const char*>(record + script_record::kName), 32);
        name.resize(std::strlen(name.c_str()));
        script_ = "script record " + std::to_string(number + 1) + " of " + std::to_string(count);
        if (WhyNotXmlText(name).empty()) script_ += " (\"" + name + "\")";
        return name;
    }

    [[noreturn]] void Fail(int32_t node, const std::string& what) const {
        throw Error(where_ + script_ + (node >= 0 ? ", node " + std::to_string(node) : std::string()) + ": " +
                    what);
    }

    std::string Kind(int32_t node) const {
        return "of kind " + std::to_string(nodes_[node].kind) + " (node " + std::to_string(node) + ")";
    }

    // The node a link names, checked: inside the nodes in use, with the
    // identity the link carries, and not reached before (no loops).
    int32_t Follow(uint32_t link, int32_t from) {
        const int32_t index = LinkIndex(link);
        if (link == kNoLink) Fail(from, "a link that must name a node names none");
        if (index >= static_cast<int32_t>(nodes_.size()))
            Fail(from, "its link names node " + std::to_string(index) + ", outside the " +
                           std::to_string(nodes_.size()) + " nodes in use");
        if (LinkIdentity(link) != nodes_[index].identity)
            Fail(from, "its link to node " + std::to_string(index) + " carries identity " +
                           Hex(LinkIdentity(link), 4) + ", but that node's identity is " +
                           Hex(nodes_[index].identity, 4));
        if (visited_[index])
            Fail(from, "its link names node " + std::to_string(index) + ", which is reached twice (a loop)");
        visited_[index] = true;
        return index;
    }

    std::vector<Expression> Chain(uint32_t link, int32_t from, int depth) {
        std::vector<Expression> chain;
        if (link != kNoLink && depth > kMaxExpressionDepth)
            Fail(from, "expressions are nested deeper than " + std::to_string(kMaxExpressionDepth) + " levels");
        while (link != kNoLink) {
            const int32_t at = Follow(link, from);
            const Node& node = nodes_[at];
            Expression expression{at, {}};
            body_[at] = true;
            if (node.kind == kCallNode) {
                const int32_t name = Follow(node.value, at);
                if (nodes_[name].kind != kNameNode) Fail(at, "its name node is " + Kind(name));
                body_[name] = true;
                expression.arguments = Chain(nodes_[name].next, name, depth + 1);
            } else if (node.kind != kNameNode && node.kind != kGlobalNode) {
                Fail(at, "a node of kind " + std::to_string(node.kind) +
                             " is none of call (8), constant (9) or global (13)");
            }
            chain.push_back(std::move(expression));
            from = at;
            link = node.next;
        }
        return chain;
    }

    std::string Text(int32_t at) const {
        const int32_t offset = nodes_[at].text;
        if (offset < 0 || offset >= static_cast<int32_t>(strings_.size()))
            Fail(at, "its text offset " + std::to_string(offset) + " lies outside the string data (" +
                         std::to_string(strings_.size()) + " bytes)");
        const auto* begin = strings_.data() + offset;
        const auto* end = static_cast<const uint8_t*>(std::memchr(begin, 0, strings_.size() - offset));
        if (!end) Fail(at, "its text at offset " + std::to_string(offset) + " runs past the string data");
        std::string text(begin, end);
        if (const std::string why = WhyNotXmlText(text); !why.empty()) Fail(at, "its text: " + why);
        return text;
    }

    XmlNode Element(const Expression& expression) const {
        const int32_t at = expression.node;
        const Node& node = nodes_[at];
        XmlNode element;
        if (node.kind == kCallNode) {
            element.Name = "ScriptCommand";
            element.Attributes = {{"Command", Text(at)},
                                  {"EngineId", std::to_string(node.engine)},
                                  {"ValueType", std::to_string(node.valueType)}};
            for (const Expression& argument : expression.arguments) element.Children.push_back(Element(argument));
        } else {
            const bool global = node.kind == kGlobalNode;
            element.Name = global ? "GlobalValue" : "ScriptValue";
            SetValue(element, at, global);
        }
        return element;
    }

    // The value attributes that give these value bytes and this stored text,
    // one form per type as the builder's value table has it.
    void SetValue(XmlNode& element, int32_t at, bool global) const {
        const Node& node = nodes_[at];
        const uint32_t v = node.value;
        const bool stored = stored_[at];
        const bool shortValue = (v & 0xFFFF0000u) == 0xFFFF0000u;
        const std::string number = std::to_string(static_cast<int16_t>(v & 0xFFFF));
        int32_t type = node.valueType;
        std::string value;
        const auto refuse = [&](const std::string& why) {
            Fail(at, std::string(global ? "a global" : "a constant") + " of value type " +
                         std::to_string(node.valueType) + " with value bytes " + FileOrder(v) + " and " +
                         (stored ? "a" : "no") + " stored text: " + why);
        };

        if (!stored && type == 5) {
            if (v != kTrue && v != kFalse) refuse("a compile writes such a node only for true or false");
            value = v == kTrue ? "true" : "false";
        } else if (!stored && type == 6) {
            float real;
            std::memcpy(&real, &v, sizeof real);
            if (!std::isfinite(real)) refuse("the real is not a finite number");
            value = FormatReal(real);
        } else if (!stored && type == 7) {
            if (!shortValue) refuse("a 16-bit number is followed by FF FF");
            value = number;
        } else if (!stored && type == 8) {
            value = std::to_string(static_cast<int32_t>(v));
        } else if (!stored) {
            refuse("a compile stores a text for every such node");
        } else if (global) {
            if (!shortValue) refuse("a global's 16-bit number is followed by FF FF");
            value = number;
        } else if (type == 5 && v == kTextFlag) {
            value = Text(at);
            if (MatchesKeyword(value, "true") || MatchesKeyword(value, "false"))
                refuse("a document gives the text \"" + value + "\" only as a keyword");
        } else if (type == 5 && v != 0) {
            refuse("a compile writes 00 00 FF FF for a true/false constant that stores its text");
        } else if (v != 0) {
            refuse("a compile writes zero value bytes for a constant that stores its text");
        } else {
            value = Text(at);
        }
        // A type of 5 to 8 whose node has the form of the other types came
        // from a ValueType past 16 bits: print one that selects that form.
        if (stored && type >= 6 && type <= 8) type += 65536;
        if (stored && !global && type == 5 && v == 0) type += 65536;

        element.Attributes = {{"ValueType", std::to_string(type)}, {"Value", value}};
        if (global && stored) element.Attributes.emplace_back("ValueCommand", Text(at));
    }

    std::string where_;
    std::string script_;
    std::vector<Node> nodes_;
    std::vector<uint8_t> strings_;
    int32_t textsEnd_;
    std::vector<bool> visited_;
    std::vector<bool> body_;
    std::vector<bool> stored_;
};

std::vector<Node> DecodeNodes(const std::vector<uint8_t>& bytes) {
    std::vector<Node> nodes(bytes.size() / kNodeSize);
    for (size_t i = 0; i < nodes.size(); ++i) {
        const uint8_t* p = bytes.data() + i * kNodeSize;
        nodes[i] = {ReadUInt16LE(p + kNodeIdentity), ReadInt16LE(p + kNodeEngine), ReadInt16LE(p + kNodeValueType),
                    ReadInt16LE(p + kNodeKind),      ReadUInt32LE(p + kNodeNext), ReadInt32LE(p + kNodeText),
                    ReadUInt32LE(p + kNodeValue)};
    }
    return nodes;
}

}  // namespace

XmlNode ReadScriptDocument(const HaloPcMap& map, const std::filesystem::path& path) {
    BinaryFile file(path);
    ScriptCompilier located;
    located.LoadScriptData(map, file);
    const std::string where = "map '" + Utf8(map.f) + "': ";

    XmlNode root;
    root.Name = "scripts";
    const int32_t size = located.ScriptTableSize;
    if (size < scenario::kStringReserve)
        throw Error(where + "the scenario's string data size is " + std::to_string(size) + ", less than its " +
                    std::to_string(scenario::kStringReserve) + "-byte reserve");
    if (size == scenario::kStringReserve) return root;  // no compiled scripts

    const int32_t count = located.RecordCount;
    const int64_t records = located.RecordTable;
    if (count == 0) return root;
    if (count < 0 || !file.Contains(records, int64_t{script_record::kSize} * count))
        throw Error(where + "the scenario's " + std::to_string(count) + " script records at offset " +
                    DescribeOffset(records) + " do not lie inside the file (" + std::to_string(file.Length()) +
                    " bytes)");
    const int64_t nodesAt = int64_t{located.ScriptNode} - kScriptNodeBias + kHeaderSize;
    const int64_t nodeBytes = int64_t{kNodeSize} * located.NodesInUse();
    if (!file.Contains(nodesAt, nodeBytes))
        throw Error(where + "the " + std::to_string(located.NodesInUse()) + " syntax nodes in use at offset " +
                    DescribeOffset(nodesAt) + " do not lie inside the file");
    if (!file.Contains(located.ScriptTable, size))
        throw Error(where + "the string data (" + std::to_string(size) + " bytes at offset " +
                    DescribeOffset(located.ScriptTable) + ") does not lie inside the file");

    const std::vector<uint8_t> recordBytes =
        file.ReadBytes(records, static_cast<size_t>(script_record::kSize) * static_cast<size_t>(count));
    Reader reader(where, DecodeNodes(file.ReadBytes(nodesAt, static_cast<size_t>(nodeBytes))),
                  file.ReadBytes(located.ScriptTable, static_cast<size_t>(size)), located.LengthIntoStrings);
    std::vector<std::vector<Expression>> bodies;
    for (int32_t r = 0; r < count; ++r)
        bodies.push_back(reader.WalkScript(recordBytes.data() + int64_t{script_record::kSize} * r, r, count));
    reader.FindStoredTexts();
    for (int32_t r = 0; r < count; ++r)
        root.Children.push_back(
            reader.Script(recordBytes.data() + int64_t{script_record::kSize} * r, bodies[r], r, count));
    return root;
}

std::string ReadScripts(const std::filesystem::path& path) {
    if (path.empty()) throw Error("no map is loaded: load a map first");
    HaloPcMap map;
    map.LoadMap(path);
    return WriteXml(ReadScriptDocument(map, map.f));
}

}  // namespace tarnfold
