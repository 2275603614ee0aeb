#include "engine/LoadCheck.h"

#include <cstdio>
#include <cstring>
#include <set>

#include "engine/LevelNames.h"
#include "engine/Tables.h"
#include "runtime/Error.h"
#include "runtime/Numbers.h"
#include "runtime/Printable.h"
#include "scenario/ScriptRecord.h"

namespace tarnfold::engine {

namespace {

using namespace syntax;
using namespace value_type;

using script_record::kStaticScript;
using script_record::kStubScript;
constexpr int kMaxDepth = 256;

// A name from the map as a message shows it; a long one is cut, and no
// function or global is that long, so none is suggested for it.
std::string Shown(const std::string& name) { return "\"" + Printable(name) + "\""; }
std::string Suggestion(const std::string& name, std::string (*suggest)(std::string_view, Engine), Engine engine) {
    return name.size() > kShownBytes ? std::string() : suggest(name, engine);
}

class Pass {
public:
    Pass(const CompiledScripts& scripts, const Level& level, Engine engine)
        : s_(scripts), level_(level), engine_(engine), visited_(scripts.nodes.size()) {
        for (const ScriptHeader& script : s_.scripts) scriptNames_.push_back(script.Name);
        for (const GlobalRecord& global : s_.globals) globalNames_.insert(LowerAscii(global.Name));
    }

    LoadReport Run() {
        if (s_.syntaxDataSize != kGameSyntaxDataSize)
            Fail("the syntax data is " + std::to_string(s_.syntaxDataSize) +
                 " bytes, not 380076 (19001 nodes): the game ignores a syntax table of any other size");
        for (const GlobalRecord& global : s_.globals) {
            owner_ = "global " + Printable(global.Name);
            Walk(global.Initial, -1, 1, /*chain=*/false);
        }
        for (const ScriptHeader& script : s_.scripts) {
            owner_ = "script " + Printable(script.Name);
            Walk(script.Root, -1, 1, /*chain=*/false);
        }
        return std::move(report_);
    }

private:
    const CompiledScripts& s_;
    const Level& level_;
    Engine engine_;
    std::vector<bool> visited_;
    std::vector<std::string> scriptNames_;
    std::set<std::string> globalNames_;
    std::set<std::string> unchecked_;
    std::string owner_;
    LoadReport report_;

    void Fail(const std::string& what, int32_t node = -1) { report_.failures.push_back({owner_, node, what}); }

    // The node a link names, or -1 (with a failure) where the game would not
    // find it: outside the nodes in use, another identity, reached before.
    int32_t Follow(uint32_t link, int32_t from) {
        const int32_t index = LinkIndex(link);
        if (link == kNoLink) return Fail("a link names no node", from), -1;
        if (index >= static_cast<int32_t>(s_.nodes.size()))
            return Fail("its link names node " + std::to_string(index) + ", outside the " +
                            std::to_string(s_.nodes.size()) + " nodes in use", from), -1;
        if (s_.nodes[index].ExpIdentity == 0 || LinkIdentity(link) != s_.nodes[index].ExpIdentity)
            return Fail("its link names node " + std::to_string(index) + " with identity " +
                            FormatHex(LinkIdentity(link), 4) + ", which that node does not have", from), -1;
        if (visited_[index]) return Fail("node " + std::to_string(index) + " is reached twice", from), -1;
        visited_[index] = true;
        return index;
    }

    // The node's text, or nothing (with a failure) where it lies outside the
    // string data or runs past it.
    bool Text(int32_t at, std::string& text) {
        const int32_t offset = s_.nodes[at].ScriptTableOffset;
        if (offset < 0 || offset >= static_cast<int32_t>(s_.strings.size()))
            return Fail("its text offset " + std::to_string(offset) + " lies outside the string data", at), false;
        const auto* begin = s_.strings.data() + offset;
        const auto* end = static_cast<const uint8_t*>(std::memchr(begin, 0, s_.strings.size() - offset));
        if (!end) return Fail("its text runs past the string data", at), false;
        text.assign(begin, end);
        return true;
    }

    // The expression at `link`, and when `chain`, those chained after it.
    void Walk(uint32_t link, int32_t from, int depth, bool chain) {
        if (depth > kMaxDepth) return Fail("expressions are nested deeper than " + std::to_string(kMaxDepth), from);
        while (link != kNoLink) {
            const int32_t at = Follow(link, from);
            if (at < 0) return;
            Expression(at, depth);
            if (!chain) return;
            from = at;
            link = s_.nodes[at].SibExpPointer;
        }
    }

    void Expression(int32_t at, int depth) {
        const Syntax& node = s_.nodes[at];
        if (node.ExpType & kPrimitiveBit) return (node.ExpType & kGlobalBit) ? Global(at) : Constant(at);
        const int32_t name = Follow(node.ScriptValue, at);
        if (name < 0) return;
        if ((node.ExpType & kScriptIndexBit) != 0) {
            ScriptCall(at);
        } else {
            std::string function;
            if (!Text(name, function)) return;
            const Function* f = FindFunction(function);
            if (!f)
                Fail("it calls " + Shown(function) + ", which is no function" + Suggestion(function, SuggestFunction, engine_), at);
            else if (!Exists(*f, engine_))
                Fail("it calls " + Shown(function) + ", which exists in Custom Edition only, and the retail game crashes on it",
                     at);
        }
        Walk(s_.nodes[name].SibExpPointer, name, depth + 1, /*chain=*/true);
    }

    void ScriptCall(int32_t at) {
        const int32_t index = s_.nodes[at].EngineIdentity;
        if (index < 0 || index >= static_cast<int32_t>(s_.scripts.size()))
            return Fail("it calls script " + std::to_string(index) + " of " + std::to_string(s_.scripts.size()), at);
        const int32_t type = s_.scripts[index].Type;
        if (type != kStaticScript && type != kStubScript)
            Fail("it calls the script " + Shown(s_.scripts[index].Name) + ", which is not static or stub", at);
    }

    void Global(int32_t at) {
        std::string name;
        if (!Text(at, name)) return;
        const engine::Global* global = FindGlobal(name);
        if ((global && Exists(*global, engine_)) || globalNames_.contains(LowerAscii(name))) return;
        Fail(Shown(name) + " is no global of the scenario or of " + std::string(EngineName(engine_)) +
                 Suggestion(name, SuggestGlobal, engine_),
             at);
    }

    void Constant(int32_t at) {
        const Syntax& node = s_.nodes[at];
        if (node.ValueType >= kFirstTag && node.ValueType <= kLastTag) return TagConstant(at);
        if (!IsLevelName(node.ValueType)) return;
        std::string text;
        if (!Text(at, text)) return;
        const NameCheck check = CheckLevelName(level_, node.ValueType, text, scriptNames_);
        if (!check.problem.empty()) Fail(check.problem, at);
        if (!check.unchecked.empty() && unchecked_.insert(check.unchecked).second)
            report_.unchecked.push_back(check.unchecked);
    }

    // The game keeps a tag constant's value as stored: a tag ID of the map,
    // of the type's class, or none.
    void TagConstant(int32_t at) {
        const Syntax& node = s_.nodes[at];
        if (node.ScriptValue == kNoLink) return;
        const std::string_view tagClass = ValueTypeByNumber(node.ValueType)->tagClass;
        for (const Tag& tag : level_.tags)
            if (static_cast<uint32_t>(tag.ident) == node.ScriptValue)
                if (tag.HasClass(tagClass)) return;
        Fail("a " + TypeName(node.ValueType) + " constant holds tag ID " + FormatHex(node.ScriptValue, 8) + ", which names no " +
                 std::string(tagClass) + " tag of the map",
             at);
    }
};

}  // namespace

std::string LoadFailure::Text() const {
    if (owner.empty()) return what;
    return owner + (node >= 0 ? ", node " + std::to_string(node) : std::string()) + ": " + what;
}

LoadReport CheckLoad(const CompiledScripts& scripts, const Level& level, Engine engine) {
    return Pass(scripts, level, engine).Run();
}

}  // namespace tarnfold::engine
