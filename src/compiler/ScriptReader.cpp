// Reads compiled scripts back into a script document: the inverse of the
// builders, so that compiling the document again gives the same bytes.
#include "compiler/ScriptReader.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "compiler/MapFile.h"
#include "runtime/Error.h"
#include "runtime/Numbers.h"
#include "runtime/XmlWriter.h"
#include "scenario/ScriptRecord.h"
#include "scenario/Syntax.h"

namespace tarnfold {

namespace {

using namespace syntax;
using namespace value_type;

// A document deeper than the XML reader accepts could not be compiled again:
// the root and the script element take two of its levels.
constexpr int kMaxExpressionDepth = XmlDocument::kMaxDepth - 2;

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

// One expression as found by the walk: its first node and its arguments.
struct Expression {
    int32_t node;
    std::vector<Expression> arguments;
};

class Reader {
public:
    Reader(std::string where, std::vector<Syntax> nodes, std::vector<uint8_t> strings, int32_t textsEnd)
        : where_(std::move(where)), nodes_(std::move(nodes)), strings_(std::move(strings)), textsEnd_(textsEnd),
          visited_(nodes_.size()), body_(nodes_.size()), stored_(nodes_.size()) {}

    // Walks one record's root call node ("begin") into its body expressions.
    std::vector<Expression> WalkScript(const ScriptHeader& record, int32_t number, int32_t count) {
        Name(record, number, count);
        const int32_t root = Follow(record.Root, -1);
        if (nodes_[root].ExpType != kCallNode) Fail(root, "the script's root node is " + Kind(root) + ", not a call");
        const int32_t begin = Follow(nodes_[root].ScriptValue, root);
        if (nodes_[begin].ExpType != kNameNode) Fail(begin, "the root call's name node is " + Kind(begin));
        return Chain(nodes_[begin].SibExpPointer, begin, 1);
    }

    // Whether a body node stored a text: the builders store texts in the
    // order they make nodes, so a node stored one exactly when the next body
    // node's text offset (or, after the last, the end of the texts) lies past
    // its own.
    void FindStoredTexts() {
        int32_t following = textsEnd_;
        for (size_t i = nodes_.size(); i-- > 0;) {
            if (!body_[i]) continue;
            stored_[i] = following > nodes_[i].ScriptTableOffset;
            following = nodes_[i].ScriptTableOffset;
        }
    }

    XmlNode Script(const ScriptHeader& record, const std::vector<Expression>& body, int32_t number, int32_t count) {
        const std::string name = Name(record, number, count);
        if (const std::string why = WhyNotXmlText(name); !why.empty()) Fail(-1, "its name: " + why);

        XmlNode script;
        script.Name = "script";
        script.Attributes = {{"NameAttr", name},
                             {"TypeAttr", std::to_string(record.Type)},
                             {"ReTypeAttr", std::to_string(record.ReturnType)}};
        for (const Expression& expression : body) script.Children.push_back(Element(expression));
        return script;
    }

private:
    // The record's name; names the script in messages.
    std::string Name(const ScriptHeader& record, int32_t number, int32_t count) {
        script_ = "script record " + std::to_string(number + 1) + " of " + std::to_string(count);
        if (WhyNotXmlText(record.Name).empty()) script_ += " (\"" + record.Name + "\")";
        return record.Name;
    }

    [[noreturn]] void Fail(int32_t node, const std::string& what) const {
        throw Error(where_ + script_ + (node >= 0 ? ", node " + std::to_string(node) : std::string()) + ": " +
                    what);
    }

    std::string Kind(int32_t node) const {
        return "of kind " + std::to_string(nodes_[node].ExpType) + " (node " + std::to_string(node) + ")";
    }

    // The node a link names, checked: inside the nodes in use, with the
    // identity the link carries, and not reached before (no loops).
    int32_t Follow(uint32_t link, int32_t from) {
        const int32_t index = LinkIndex(link);
        if (link == kNoLink) Fail(from, "a link that must name a node names none");
        if (index >= static_cast<int32_t>(nodes_.size()))
            Fail(from, "its link names node " + std::to_string(index) + ", outside the " +
                           std::to_string(nodes_.size()) + " nodes in use");
        if (LinkIdentity(link) != nodes_[index].ExpIdentity)
            Fail(from, "its link to node " + std::to_string(index) + " carries identity " +
                           Hex(LinkIdentity(link), 4) + ", but that node's identity is " +
                           Hex(nodes_[index].ExpIdentity, 4));
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
            const Syntax& node = nodes_[at];
            Expression expression{at, {}};
            body_[at] = true;
            if (node.ExpType == kCallNode) {
                const int32_t name = Follow(node.ScriptValue, at);
                if (nodes_[name].ExpType != kNameNode) Fail(at, "its name node is " + Kind(name));
                body_[name] = true;
                expression.arguments = Chain(nodes_[name].SibExpPointer, name, depth + 1);
            } else if (node.ExpType != kNameNode && node.ExpType != kGlobalNode) {
                Fail(at, "a node of kind " + std::to_string(node.ExpType) +
                             " is none of call (8), constant (9) or global (13)");
            }
            chain.push_back(std::move(expression));
            from = at;
            link = node.SibExpPointer;
        }
        return chain;
    }

    std::string Text(int32_t at) const {
        const int32_t offset = nodes_[at].ScriptTableOffset;
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
        const Syntax& node = nodes_[at];
        XmlNode element;
        if (node.ExpType == kCallNode) {
            element.Name = "ScriptCommand";
            element.Attributes = {{"Command", Text(at)},
                                  {"EngineId", std::to_string(node.EngineIdentity)},
                                  {"ValueType", std::to_string(node.ValueType)}};
            for (const Expression& argument : expression.arguments) element.Children.push_back(Element(argument));
        } else {
            const bool global = node.ExpType == kGlobalNode;
            element.Name = global ? "GlobalValue" : "ScriptValue";
            SetValue(element, at, global);
        }
        return element;
    }

    // The value attributes that give these value bytes and this stored text,
    // one form per type as the builder's value table has it.
    void SetValue(XmlNode& element, int32_t at, bool global) const {
        const Syntax& node = nodes_[at];
        const uint32_t v = node.ScriptValue;
        const bool stored = stored_[at];
        const bool shortValue = IsShortValue(v);
        const std::string number = std::to_string(static_cast<int16_t>(v & 0xFFFF));
        int32_t type = node.ValueType;
        std::string value;
        const auto refuse = [&](const std::string& why) {
            Fail(at, std::string(global ? "a global" : "a constant") + " of value type " +
                         std::to_string(node.ValueType) + " with value bytes " + FileOrder(v) + " and " +
                         (stored ? "a" : "no") + " stored text: " + why);
        };

        if (!stored && type == kBoolean) {
            if (v != kTrue && v != kFalse) refuse("a compile writes such a node only for true or false");
            value = v == kTrue ? "true" : "false";
        } else if (!stored && type == kReal) {
            float real;
            std::memcpy(&real, &v, sizeof real);
            if (!std::isfinite(real)) refuse("the real is not a finite number");
            value = FormatReal(real);
        } else if (!stored && type == kShort) {
            if (!shortValue) refuse("a 16-bit number is followed by FF FF");
            value = number;
        } else if (!stored && type == kLong) {
            value = std::to_string(static_cast<int32_t>(v));
        } else if (!stored) {
            refuse("a compile stores a text for every such node");
        } else if (global) {
            if (!shortValue) refuse("a global's 16-bit number is followed by FF FF");
            value = number;
        } else if (type == kBoolean && v == kTextMark) {
            value = Text(at);
            if (MatchesKeyword(value, "true") || MatchesKeyword(value, "false"))
                refuse("a document gives the text \"" + value + "\" only as a keyword");
        } else if (type == kBoolean && v != 0) {
            refuse("a compile writes 00 00 FF FF for a true/false constant that stores its text");
        } else if (v != 0) {
            refuse("a compile writes zero value bytes for a constant that stores its text");
        } else {
            value = Text(at);
        }
        // A type of 5 to 8 whose node has the form of the other types came
        // from a ValueType past 16 bits: print one that selects that form.
        if (stored && IsNumber(type)) type += 65536;
        if (stored && !global && type == kBoolean && v == 0) type += 65536;

        element.Attributes = {{"ValueType", std::to_string(type)}, {"Value", value}};
        if (global && stored) element.Attributes.emplace_back("ValueCommand", Text(at));
    }

    std::string where_;
    std::string script_;
    std::vector<Syntax> nodes_;
    std::vector<uint8_t> strings_;
    int32_t textsEnd_;
    std::vector<bool> visited_;
    std::vector<bool> body_;
    std::vector<bool> stored_;
};

std::vector<Syntax> DecodeNodes(const std::vector<uint8_t>& bytes) {
    std::vector<Syntax> nodes(bytes.size() / kNodeSize);
    for (size_t i = 0; i < nodes.size(); ++i) nodes[i] = Syntax::Decode(bytes.data() + i * kNodeSize);
    return nodes;
}

}  // namespace

XmlNode ReadScriptDocument(MapFile& opened) {
    BinaryFile& file = opened.file;
    const ScriptData& data = opened.data;
    const std::string where = "map '" + opened.map.f.string() + "': ";

    XmlNode root;
    root.Name = "scripts";
    const int32_t size = data.ScriptTableSize;
    if (size < scenario::kStringReserve)
        throw Error(where + "the scenario's string data size is " + std::to_string(size) + ", less than its " +
                    std::to_string(scenario::kStringReserve) + "-byte reserve");
    if (!data.HasScripts()) return root;

    const int32_t count = data.scriptCount;
    const int64_t records = data.scripts;
    if (count == 0) return root;
    if (count < 0 || !file.Contains(records, int64_t{script_record::kSize} * count))
        throw Error(where + "the scenario's " + std::to_string(count) + " script records at offset " +
                    DescribeOffset(records) + " do not lie inside the file (" + std::to_string(file.Length()) +
                    " bytes)");
    const int64_t nodesAt = int64_t{data.syntaxHeader} + kHeaderSize;
    const int64_t nodeBytes = int64_t{kNodeSize} * data.NodesInUse();
    if (!file.Contains(nodesAt, nodeBytes))
        throw Error(where + "the " + std::to_string(data.NodesInUse()) + " syntax nodes in use at offset " +
                    DescribeOffset(nodesAt) + " do not lie inside the file");
    if (!file.Contains(data.ScriptTable, size))
        throw Error(where + "the string data (" + std::to_string(size) + " bytes at offset " +
                    DescribeOffset(data.ScriptTable) + ") does not lie inside the file");

    const std::vector<uint8_t> recordBytes =
        file.ReadBytes(records, static_cast<size_t>(script_record::kSize) * static_cast<size_t>(count));
    std::vector<ScriptHeader> scripts;
    for (int32_t r = 0; r < count; ++r)
        scripts.push_back(ScriptHeader::Decode(recordBytes.data() + int64_t{script_record::kSize} * r));
    Reader reader(where, DecodeNodes(file.ReadBytes(nodesAt, static_cast<size_t>(nodeBytes))),
                  file.ReadBytes(data.ScriptTable, static_cast<size_t>(size)), size - scenario::kStringReserve);
    std::vector<std::vector<Expression>> bodies;
    for (int32_t r = 0; r < count; ++r) bodies.push_back(reader.WalkScript(scripts[r], r, count));
    reader.FindStoredTexts();
    for (int32_t r = 0; r < count; ++r) root.Children.push_back(reader.Script(scripts[r], bodies[r], r, count));
    return root;
}

}  // namespace tarnfold
