// The syntax node builder: expression elements into 20-byte node records and
// zero-terminated texts.
#include <cstring>

#include "compiler/DocumentChecks.h"
#include "compiler/ScriptCompilier.h"
#include "compiler/TagConstants.h"
#include "runtime/Error.h"
#include "runtime/Numbers.h"
#include "runtime/Printable.h"
#include "runtime/Xml.h"
#include "runtime/XmlAttributes.h"
#include "scenario/ScriptRecord.h"

namespace tarnfold {

namespace {

using namespace syntax;
using namespace value_type;

using script_record::kStaticScript;
using script_record::kStubScript;

uint32_t SingleBits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// A 16-bit field takes the low 16 bits of the number the document gives.
int16_t Low16(int32_t number) { return static_cast<int16_t>(number); }

}  // namespace

size_t ScriptCompilier::AppendNode(const Syntax& node, const XmlNode* source) {
    const size_t at = SyntaxBlock.Grow(kNodeSize);
    node.Encode(SyntaxBlock.Data() + at);
    build_.sources.push_back(source);
    return at;
}

void ScriptCompilier::StoreText(std::string_view text) {
    StrBlock.Append(text);
    StrBlock.Append(1, 0);
    LengthIntoStrings += static_cast<int32_t>(text.size()) + 1;
}

// A call: the call node, whose value links to the name node after it, both
// holding `engine` (a function's number, a called script's index) and the
// offset of the name, stored once.
size_t ScriptCompilier::MakeCall(const XmlNode& element, int32_t n, int32_t engine, int16_t flags,
                                 const std::string& name) {
    Syntax call;
    call.EngineIdentity = Low16(engine);
    call.ValueType = Low16(ReadIntegerAttribute(element, "ValueType"));
    call.ExpIdentity = Identity(n);
    call.ExpType = flags;
    call.ScriptTableOffset = LengthIntoStrings;
    call.ScriptValue = Link(n + 1);

    Syntax nameNode = call;
    nameNode.ExpIdentity = Identity(n + 1);
    nameNode.ValueType = kFunctionName;
    nameNode.ExpType = kNameNode;
    nameNode.ScriptValue = 0;

    const size_t at = AppendNode(call, &element);
    AppendNode(nameNode, &element);
    StoreText(name);
    RealSyn += 2;
    return at;
}

size_t ScriptCompilier::MakeCommand(const XmlNode& element, int32_t n) {
    return MakeCall(element, n, ReadIntegerAttribute(element, "EngineId"), kCallNode, element.GetAttribute("Command"));
}

size_t ScriptCompilier::MakeValue(const XmlNode& element, int32_t n, bool global) {
    Syntax node;
    const int32_t valueType = ReadIntegerAttribute(element, "ValueType");
    node.ValueType = Low16(valueType);
    node.EngineIdentity = global ? -1 : node.ValueType;
    node.ExpType = global ? kGlobalNode : kNameNode;
    node.ExpIdentity = Identity(n);
    node.ScriptTableOffset = LengthIntoStrings;

    const std::string value = element.GetAttribute("Value");
    // A constant that is not a number keeps its Value as text. A global
    // keeps its name (ValueCommand) whatever its type: the game finds
    // globals by name.
    const std::string storedText = global ? element.GetAttribute("ValueCommand") : value;
    bool storesText = global;
    switch (valueType) {
        case kBoolean:
            if (MatchesKeyword(value, "true")) {
                node.ScriptValue = kTrue;
            } else if (MatchesKeyword(value, "false")) {
                node.ScriptValue = kFalse;
            } else {
                node.ScriptValue = global ? ShortValue(ReadIntegerAttribute(element, "Value")) : kTextMark;
                storesText = true;
            }
            break;
        case kReal:
            node.ScriptValue = SingleBits(ReadRealAttribute(element, "Value"));
            break;
        case kShort:
            node.ScriptValue = ShortValue(ReadIntegerAttribute(element, "Value"));
            break;
        case kLong:
            node.ScriptValue = static_cast<uint32_t>(ReadIntegerAttribute(element, "Value"));
            break;
        default:
            node.ScriptValue = global ? ShortValue(ReadIntegerAttribute(element, "Value")) : 0;
            // The game keeps a tag constant's value bytes as the tag's ID.
            if (!global && valueType >= kFirstTag && valueType <= kLastTag && tags_)
                node.ScriptValue = TagConstantId(*tags_, valueType, value, element);
            storesText = true;
            break;
    }

    const size_t at = AppendNode(node, &element);
    if (storesText) StoreText(storedText);
    RealSyn += 1;
    return at;
}

// A call of a static or stub script of the document: a call node and a
// name node, as for a function, with the called script's index.
size_t ScriptCompilier::MakeScriptCall(const XmlNode& element, int32_t n) {
    const std::string name = element.GetAttribute("Script");
    const auto target = callTargets_.find(name);
    if (target == callTargets_.end())
        throw ElementError(element, ": no script of the document is named \"" + Printable(name) + "\"");
    if (target->second.type != kStaticScript && target->second.type != kStubScript)
        throw ElementError(element, ": the script \"" + Printable(name) +
                                        "\" is not static or stub, and only those can be called");
    return MakeCall(element, n, target->second.index, kScriptCallNode, name);
}

int32_t ScriptCompilier::XmlBuild(const XmlNode& node, int32_t n) {
    // Where the next link of the previous expression's first node lies, to
    // chain it to the next expression once that exists.
    size_t previousLink = 0;
    bool havePrevious = false;

    for (const XmlNode& child : node.Children) {
        if (!child.IsElement()) continue;  // comments and text make no node

        const bool command = child.Name == "ScriptCommand";
        const bool value = child.Name == "ScriptValue";
        const bool global = child.Name == "GlobalValue";
        const bool scriptCall = child.Name == "ScriptCall";
        if (!command && child.HasElementChildren())
            throw ElementError(child, " has child elements, but only a ScriptCommand takes arguments");
        if (!command && !value && !global && !scriptCall) {
            std::string warning = " is not ScriptCommand, ScriptValue, GlobalValue or ScriptCall and makes no node";
            if (const std::string nearest = NearestExpressionElement(child.Name); !nearest.empty())
                warning += "; did you mean \"" + nearest + "\"?";
            Warn(AtElement(child, "no-node", warning));
            continue;
        }
        for (Diagnostic& warning : CheckExpressionElement(child)) Warn(std::move(warning));

        const int32_t first = n;
        const size_t at = command      ? MakeCommand(child, n)
                          : scriptCall ? MakeScriptCall(child, n)
                                       : MakeValue(child, n, global);
        n += command || scriptCall ? 2 : 1;
        if (havePrevious) SyntaxBlock.SetUInt32(previousLink, Link(first));
        previousLink = at + kNodeNext;
        havePrevious = true;

        if (command && child.HasElementChildren()) {
            const int32_t next = XmlBuild(child, n);
            // The name node's next link names the first argument, if any
            // argument made a node at all.
            if (next != n) SyntaxBlock.SetUInt32(at + kNodeSize + kNodeNext, Link(n));
            n = next;
        }
    }
    return n;
}

}  // namespace tarnfold
