// Reads compiled scripts back into a script document. From a map Tarnfold
// compiled, exactly: the inverse of the builders, so that compiling the
// document again gives the same bytes. From a map another tool compiled, by
// what the nodes mean, as the game reads them.
#include "compiler/ScriptReader.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "compiler/MapFile.h"
#include "runtime/Error.h"
#include "runtime/Utf8Path.h"
#include "runtime/Numbers.h"
#include "runtime/Printable.h"
#include "runtime/XmlWriter.h"
#include "scenario/CompiledScripts.h"
#include "scenario/GlobalRecord.h"
#include "scenario/ScriptRecord.h"
#include "scenario/Syntax.h"

namespace tarnfold {

namespace {

using namespace syntax;
using namespace value_type;

// A document deeper than the XML reader accepts could not be compiled again.
constexpr int kMaxExpressionDepth = XmlDocument::kMaxExpressionDepth;

// Four value bytes as a hex editor shows them.
std::string FileOrder(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02X %02X %02X %02X", value & 0xFF, value >> 8 & 0xFF, value >> 16 & 0xFF,
                  value >> 24);
    return text;
}

// What opens the messages about an opened map's scripts.
std::string Where(const MapFile& opened) { return "map '" + Utf8(opened.map.f) + "': "; }

std::string RealText(uint32_t bits) {
    float real;
    std::memcpy(&real, &bits, sizeof real);
    return std::isfinite(real) ? FormatReal(real) : std::string();
}

// One expression as found by the walk: its first node and its arguments.
struct Expression {
    int32_t node;
    std::vector<Expression> arguments;
};

// A script or a global, with the expressions its record leads to.
struct Item {
    bool global = false;
    int32_t number = 0;  // its record, from 0
    int32_t root = 0;    // the node its record names
    std::vector<Expression> body;
};

class Reader {
public:
    Reader(std::string where, std::vector<Syntax> nodes, std::vector<uint8_t> strings, int32_t textsEnd, bool exact)
        : where_(std::move(where)), nodes_(std::move(nodes)), strings_(std::move(strings)), textsEnd_(textsEnd),
          exact_(exact), visited_(nodes_.size()), body_(nodes_.size()), stored_(nodes_.size()) {}

    void SetRecords(std::vector<ScriptHeader> scripts, std::vector<GlobalRecord> globals) {
        scripts_ = std::move(scripts);
        globals_ = std::move(globals);
        for (size_t i = 0; i < scripts_.size(); ++i)
            firstScriptNamed_.try_emplace(scripts_[i].Name, static_cast<int32_t>(i));
    }

    // Walks one script's root call node ("begin") into its body expressions.
    Item WalkScript(int32_t number) {
        Name(false, number);
        Item item{false, number, Follow(scripts_[number].Root, -1), {}};
        const Syntax& root = nodes_[item.root];
        const bool begin = root.ExpType == kCallNode && root.EngineIdentity == 0;
        if (!begin && exact_) Fail(item.root, "the script's root node is " + Kind(item.root) + ", not a call of begin");
        if (!begin) {  // another tool may root a script in any expression
            item.body = Chain(scripts_[number].Root, -1, 1, /*followed=*/true);
            return item;
        }
        const int32_t name = Follow(root.ScriptValue, item.root);
        if ((nodes_[name].ExpType & kPrimitiveBit) == 0) Fail(name, "the root call's name node is " + Kind(name));
        item.body = Chain(nodes_[name].SibExpPointer, name, 1);
        return item;
    }

    // Walks one global's record to the expression of its initial value.
    Item WalkGlobal(int32_t number) {
        Name(true, number);
        Item item{true, number, Follow(globals_[number].Initial, -1), {}};
        item.body = Chain(globals_[number].Initial, -1, 1, /*followed=*/true);
        if (item.body.size() != 1) Fail(item.root, "a global's initial value is one expression, not a chain");
        return item;
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

    XmlNode Element(const Item& item) {
        Name(item.global, item.number);
        XmlNode element;
        if (item.global) {
            const GlobalRecord& global = globals_[item.number];
            element.Name = "ScenarioGlobal";
            element.Attributes = {{"NameAttr", CheckedName(global.Name)}, {"ValueType", std::to_string(global.Type)}};
        } else {
            const ScriptHeader& script = scripts_[item.number];
            element.Name = "script";
            element.Attributes = {{"NameAttr", CheckedName(script.Name)},
                                  {"TypeAttr", std::to_string(script.Type)},
                                  {"ReTypeAttr", std::to_string(script.ReturnType)}};
        }
        for (const Expression& expression : item.body) element.Children.push_back(ExpressionElement(expression));
        return element;
    }

private:
    // Names the script or global in messages.
    void Name(bool global, int32_t number) {
        const std::string& name = global ? globals_[number].Name : scripts_[number].Name;
        const size_t count = global ? globals_.size() : scripts_.size();
        what_ = std::string(global ? "global" : "script") + " record " + std::to_string(number + 1) + " of " +
                std::to_string(count);
        if (WhyNotXmlText(name).empty()) what_ += " (\"" + Printable(name) + "\")";
    }

    std::string CheckedName(const std::string& name) const {
        if (const std::string why = WhyNotXmlText(name); !why.empty()) Fail(-1, "its name: " + why);
        return name;
    }

    [[noreturn]] void Fail(int32_t node, const std::string& what) const {
        throw Error(where_ + what_ + (node >= 0 ? ", node " + std::to_string(node) : std::string()) + ": " + what);
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
                           FormatHex(LinkIdentity(link), 4) + ", but that node's identity is " +
                           FormatHex(nodes_[index].ExpIdentity, 4));
        if (visited_[index])
            Fail(from, "its link names node " + std::to_string(index) + ", which is reached twice (a loop)");
        visited_[index] = true;
        return index;
    }

    // The chain of expressions from `link` on; `followed` when its first
    // node has been followed already (a record's root).
    std::vector<Expression> Chain(uint32_t link, int32_t from, int depth, bool followed = false) {
        std::vector<Expression> chain;
        if (link != kNoLink && depth > kMaxExpressionDepth)
            Fail(from, "expressions are nested deeper than " + std::to_string(kMaxExpressionDepth) + " levels");
        while (link != kNoLink) {
            const int32_t at = followed ? LinkIndex(link) : Follow(link, from);
            followed = false;
            const Syntax& node = nodes_[at];
            Expression expression{at, {}};
            body_[at] = true;
            if (IsCall(node)) {
                const int32_t name = Follow(node.ScriptValue, at);
                if ((nodes_[name].ExpType & kPrimitiveBit) == 0) Fail(at, "its name node is " + Kind(name));
                body_[name] = true;
                expression.arguments = Chain(nodes_[name].SibExpPointer, name, depth + 1);
            } else if (!IsConstant(node) && !IsGlobal(node)) {
                Fail(at, "a node of kind " + std::to_string(node.ExpType) +
                             " is none of call (8), script call (10), constant (9) or global (13)");
            }
            chain.push_back(std::move(expression));
            from = at;
            link = node.SibExpPointer;
        }
        return chain;
    }

    // What a node is: a compile writes these flags exactly; another tool's
    // nodes are read by their bits.
    bool IsCall(const Syntax& n) const {
        return exact_ ? n.ExpType == kCallNode || n.ExpType == kScriptCallNode : (n.ExpType & kPrimitiveBit) == 0;
    }
    bool IsScriptCall(const Syntax& n) const {
        return exact_ ? n.ExpType == kScriptCallNode : (n.ExpType & kScriptIndexBit) != 0;
    }
    bool IsConstant(const Syntax& n) const {
        return exact_ ? n.ExpType == kNameNode : (n.ExpType & (kPrimitiveBit | kGlobalBit)) == kPrimitiveBit;
    }
    bool IsGlobal(const Syntax& n) const {
        return exact_ ? n.ExpType == kGlobalNode : (n.ExpType & (kPrimitiveBit | kGlobalBit)) == (kPrimitiveBit | kGlobalBit);
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

    XmlNode ExpressionElement(const Expression& expression) const {
        const int32_t at = expression.node;
        const Syntax& node = nodes_[at];
        XmlNode element;
        if (IsScriptCall(node)) {
            element.Name = "ScriptCall";
            element.Attributes = {{"Script", CalledScript(at)}, {"ValueType", std::to_string(node.ValueType)}};
            if (!expression.arguments.empty()) Fail(at, "a script call with arguments");
        } else if (IsCall(node)) {
            element.Name = "ScriptCommand";
            element.Attributes = {{"Command", Text(at)},
                                  {"EngineId", std::to_string(node.EngineIdentity)},
                                  {"ValueType", std::to_string(node.ValueType)}};
            for (const auto& argument : expression.arguments) element.Children.push_back(ExpressionElement(argument));
        } else if (IsGlobal(node)) {
            element.Name = "GlobalValue";
            SetGlobal(element, at);
        } else {
            element.Name = "ScriptValue";
            exact_ ? SetExactConstant(element, at) : SetConstant(element, at);
        }
        return element;
    }

    // The script a script call names: by its text, which must be the name of
    // the script its index gives, as a compile writes it.
    std::string CalledScript(int32_t at) const {
        const int32_t index = nodes_[at].EngineIdentity;
        if (index < 0 || index >= static_cast<int32_t>(scripts_.size()))
            Fail(at, "it calls script " + std::to_string(index) + ", but the map has " +
                         std::to_string(scripts_.size()) + " scripts");
        if (!exact_) return CheckedName(scripts_[index].Name);
        const std::string name = Text(at);
        const auto first = firstScriptNamed_.find(name);
        if (first == firstScriptNamed_.end() || first->second != index)
            Fail(at, "it calls script " + std::to_string(index) + " by the name \"" + Printable(name) +
                         "\", and a compile writes the index of the first script of that name");
        return name;
    }

    // A global's value bytes by its type, and its name, which a compile
    // stores whatever the type (an earlier version stored none for some).
    void SetGlobal(XmlNode& element, int32_t at) const {
        const Syntax& node = nodes_[at];
        const uint32_t v = node.ScriptValue;
        int32_t type = node.ValueType;
        std::string value = std::to_string(static_cast<int16_t>(v & 0xFFFF));
        if (type == kBoolean && (v == kTrue || v == kFalse)) value = v == kTrue ? "true" : "false";
        if (type == kLong) value = std::to_string(static_cast<int32_t>(v));
        if (type == kReal && !(exact_ && IsShortValue(v))) value = RealText(v);
        // A short number where a real belongs came from a ValueType past 16 bits.
        if (type == kReal && exact_ && IsShortValue(v)) type += 65536;
        if (value.empty()) Fail(at, "a global of value type 6 with value bytes " + FileOrder(v) + ", no finite real");
        if (exact_ && type != kReal && type != kLong && !IsShortValue(v))
            Fail(at, "a global of value type " + std::to_string(type) + " with value bytes " + FileOrder(v) +
                         ": a compile writes a 16-bit number followed by FF FF");
        element.Attributes = {{"ValueType", std::to_string(type)}, {"Value", value}};
        if (!exact_ || stored_[at]) element.Attributes.emplace_back("ValueCommand", Text(at));
    }

    // A constant as the game reads it: the numbers and true/false from the
    // value bytes, everything else from its text.
    void SetConstant(XmlNode& element, int32_t at) const {
        const Syntax& node = nodes_[at];
        const uint32_t v = node.ScriptValue;
        std::string value;
        switch (node.ValueType) {
            case kBoolean: value = (v & 0xFF) != 0 ? "true" : "false"; break;
            case kReal: value = RealText(v); break;
            case kShort: value = std::to_string(static_cast<int16_t>(v & 0xFFFF)); break;
            case kLong: value = std::to_string(static_cast<int32_t>(v)); break;
            default: value = Text(at); break;
        }
        if (value.empty() && node.ValueType == kReal)
            Fail(at, "a real constant with value bytes " + FileOrder(v) + ", no finite number");
        element.Attributes = {{"ValueType", std::to_string(node.ValueType)}, {"Value", value}};
    }

    // The value attributes that give these value bytes and this stored text,
    // one form per type as the builder's value table has it.
    void SetExactConstant(XmlNode& element, int32_t at) const {
        const Syntax& node = nodes_[at];
        const uint32_t v = node.ScriptValue;
        const bool stored = stored_[at];
        int32_t type = node.ValueType;
        std::string value;
        const auto refuse = [&](const std::string& why) {
            Fail(at, "a constant of value type " + std::to_string(node.ValueType) + " with value bytes " +
                         FileOrder(v) + " and " + (stored ? "a" : "no") + " stored text: " + why);
        };

        if (!stored && type == kBoolean) {
            if (v != kTrue && v != kFalse) refuse("a compile writes such a node only for true or false");
            value = v == kTrue ? "true" : "false";
        } else if (!stored && type == kReal) {
            value = RealText(v);
            if (value.empty()) refuse("the real is not a finite number");
        } else if (!stored && type == kShort) {
            if (!IsShortValue(v)) refuse("a 16-bit number is followed by FF FF");
            value = std::to_string(static_cast<int16_t>(v & 0xFFFF));
        } else if (!stored && type == kLong) {
            value = std::to_string(static_cast<int32_t>(v));
        } else if (!stored) {
            refuse("a compile stores a text for every such node");
        } else if (type == kBoolean && v == kTextMark) {
            value = Text(at);
            if (MatchesKeyword(value, "true") || MatchesKeyword(value, "false"))
                refuse("a document gives the text \"" + value + "\" only as a keyword");
        } else if (type >= kFirstTag && type <= kLastTag && v != 0) {
            value = Text(at);  // a tag's ID, which the compile finds by this path
        } else if (type == kBoolean && v != 0) {
            refuse("a compile writes 00 00 FF FF for a true/false constant that stores its text");
        } else if (v != 0) {
            refuse("a compile writes zero value bytes for a constant that stores its text");
        } else {
            value = Text(at);
            // A type whose node has the form of the other types came from a
            // ValueType past 16 bits: print one that selects that form.
            if (IsNumber(type) || type == kBoolean || (type >= kFirstTag && type <= kLastTag)) type += 65536;
        }
        element.Attributes = {{"ValueType", std::to_string(type)}, {"Value", value}};
    }

    std::string where_;
    std::string what_;
    std::vector<Syntax> nodes_;
    std::vector<uint8_t> strings_;
    int32_t textsEnd_;
    bool exact_;
    std::vector<ScriptHeader> scripts_;
    std::vector<GlobalRecord> globals_;
    std::unordered_map<std::string, int32_t> firstScriptNamed_;
    std::vector<bool> visited_;
    std::vector<bool> body_;
    std::vector<bool> stored_;
};

}  // namespace

CompiledScripts ReadCompiledScripts(MapFile& opened) {
    return CompiledScripts::Read(opened.data, opened.file, Where(opened));
}

XmlNode ReadScriptDocument(MapFile& opened) {
    const bool none = opened.data.ScriptTableSize == scenario::kStringReserve;  // no scripts compiled yet
    return ReadScriptDocument(opened, none ? CompiledScripts{} : ReadCompiledScripts(opened));
}

XmlNode ReadScriptDocument(const MapFile& opened, CompiledScripts compiled) {
    const ScriptData& data = opened.data;
    XmlNode root;
    root.Name = "scripts";
    if (data.ScriptTableSize == scenario::kStringReserve) return root;  // no scripts compiled yet
    const std::string where = Where(opened);

    const bool exact = data.CompiledByTarnfold(opened.file.Length());
    const auto scripts = static_cast<int32_t>(compiled.scripts.size());
    const auto globals = static_cast<int32_t>(compiled.globals.size());
    Reader reader(where, std::move(compiled.nodes), std::move(compiled.strings),
                  data.ScriptTableSize - scenario::kStringReserve, exact);
    reader.SetRecords(std::move(compiled.scripts), std::move(compiled.globals));
    std::vector<Item> items;
    for (int32_t g = 0; g < globals; ++g) items.push_back(reader.WalkGlobal(g));
    for (int32_t s = 0; s < scripts; ++s) items.push_back(reader.WalkScript(s));
    if (exact) {
        reader.FindStoredTexts();
        // A compile makes each script's and each global's nodes where it
        // stands in the document: their order gives the document's.
        std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.root < b.root; });
    }
    for (const Item& item : items) root.Children.push_back(reader.Element(item));
    return root;
}

}  // namespace tarnfold
