// HSC expressions into document elements, typed as the kit types them: a
// literal takes the type of the parameter it fills, a call the type of its
// place where its return type converts to it, and a value must convert to
// the type its place expects.
#include "hsc/Translate.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "engine/LevelNames.h"
#include "hsc/Lexer.h"
#include "hsc/Parser.h"
#include "runtime/Numbers.h"
#include "runtime/Printable.h"
#include "scenario/GlobalRecord.h"
#include "scenario/ScriptData.h"
#include "scenario/ScriptRecord.h"
#include "scenario/Syntax.h"

namespace tarnfold::hsc {

namespace {

using namespace engine;
using namespace value_type;

// Where a value's type says nothing yet: a body's discarded values, `inspect`.
bool IsOpen(int t) { return t == kVoid || t == kPassthrough; }

bool IsNumberAtom(const std::string& text) {
    const char c = text[0];
    return (c == '-' || c == '+' || c == '.' || (c >= '0' && c <= '9')) && ParseReal(text).has_value();
}

std::optional<bool> BooleanKeyword(const std::string& text) {
    if (text == "true" || text == "on") return true;
    if (text == "false" || text == "off") return false;
    return std::nullopt;
}

std::string AType(int t) { return WithArticle(TypeName(t)); }

XmlNode Element(const char* name, std::vector<std::pair<std::string, std::string>> attributes, Position at) {
    XmlNode node;
    node.Name = name;
    node.Attributes = std::move(attributes);
    node.Line = at.line;
    node.Column = at.column;
    return node;
}

// The script types a call may name: they run only when called.
bool IsCallable(const ScriptType& type) { return type.declaresReturnType; }

// A translated expression and the type it yields.
struct Value {
    XmlNode node;
    int type;
};
using Result = std::optional<Value>;

// A script of the source, as calls and script constants see it.
struct SourceScript {
    const Expr* form;  // the one compiled under its name
    const ScriptType* type;
    int returnType;
    Position at;
    bool called = false;
};

// A scenario global: its type, its place in the globals block, where it is declared.
struct SourceGlobal {
    int type;
    int index;
    Position at;
};

class Translator {
public:
    Translator(Engine engine, Diagnostics& errors, const Level* level)
        : engine_(engine), errors_(errors), level_(level) {}

    XmlNode Document(const std::vector<Expr>& top) {
        for (const Expr& form : top) CollectScript(form);
        for (const Expr& form : top) CollectGlobalName(form);
        XmlNode root = Node("scripts", {}, {});
        for (const Expr& form : top) {
            const bool global = form.IsList() && !form.items.empty() && form.items[0].IsAtom() &&
                                form.items[0].text == "global";
            if (auto element = global ? Global(form) : Script(form)) root.Children.push_back(std::move(*element));
        }
        for (const std::string& name : scriptNames_)
            if (const SourceScript& script = scripts_.at(name); script.type->number == kStaticScript && !script.called)
                errors_.Warn(script.at, "uncalled-script", "the static script " + name + " is never called");
        return root;
    }

private:
    static constexpr int kStaticScript = script_record::kStaticScript, kStubScript = script_record::kStubScript;

    Engine engine_;
    Diagnostics& errors_;
    const Level* level_;
    std::unordered_map<std::string, SourceScript> scripts_;
    std::vector<std::string> scriptNames_;  // in the order they come, for suggestions and warnings
    std::unordered_map<std::string, SourceGlobal> globals_;  // declared so far
    std::unordered_map<std::string, Position> laterGlobals_;  // every declaration, for "declared later"
    bool keepCase_ = false;  // inside the arguments of `print`, which keeps letter case
    std::vector<std::string> unchecked_;

    int32_t nodes_ = 0;  // the syntax nodes the elements made so far will take

    // Makes an element and counts the nodes it takes: past what a scenario
    // can hold the translation stops, so a hostile source cannot grow the tree.
    XmlNode Node(const char* name, std::vector<std::pair<std::string, std::string>> attributes, Position at) {
        const std::string_view kind = name;
        nodes_ += kind == "script" ? 7 : kind == "ScriptCommand" || kind == "ScriptCall" ? 2
                  : kind == "ScriptValue" || kind == "GlobalValue"                       ? 1
                                                                                         : 0;
        if (nodes_ > syntax::kMaxNodes) {
            errors_.Report(at, "the scripts need more than " + std::to_string(syntax::kMaxNodes) +
                                   " syntax nodes by here; a scenario's syntax data holds at most that many");
            errors_.ThrowIfAny();
        }
        return Element(name, std::move(attributes), at);
    }

    // Fails at the first expression of `value` nested deeper than a script
    // document can hold, counting from `depth`.
    bool Shallow(const XmlNode& value, int depth = 1) {
        if (depth > XmlDocument::kMaxExpressionDepth) {
            errors_.Report({value.Line, value.Column}, "expressions are nested deeper than " +
                                                           std::to_string(XmlDocument::kMaxExpressionDepth) +
                                                           " levels here");
            return false;
        }
        for (const XmlNode& child : value.Children)
            if (!Shallow(child, depth + 1)) return false;
        return true;
    }

    Result Fail(const Expr& at, const std::string& what) {
        errors_.Report(at.at, what);
        return std::nullopt;
    }

    int Kit(const Function& f) const { return f.kit[static_cast<int>(engine_)]; }

    const Function* TargetFunction(const std::string& name) const {
        const Function* f = FindFunction(name);
        return f && Exists(*f, engine_) ? f : nullptr;
    }
    const engine::Global* TargetGlobal(const std::string& name) const {
        const engine::Global* g = FindGlobal(name);
        return g && Exists(*g, engine_) ? g : nullptr;
    }

    // Why `name`, an engine global of the other game, is none here; else empty.
    std::string OtherGameOnly(const std::string& name) const {
        const engine::Global* global = FindGlobal(name);
        if (!global || Exists(*global, engine_)) return {};
        const Engine other = engine_ == Engine::Retail ? Engine::Custom : Engine::Retail;
        return name + " is a global of " + std::string(EngineName(other)) + " only; " +
               std::string(EngineName(engine_)) + " has no such global";
    }

    static bool IsHead(const Expr& form, const char* head, size_t least) {
        return form.IsList() && form.items.size() >= least && form.items[0].IsAtom() && form.items[0].text == head;
    }

    // A script's type, return type and name, as far as they can be read.
    struct Header {
        const ScriptType* type = nullptr;
        int returnType = kVoid;
        const Expr* name = nullptr;
    };
    static Header ReadHeader(const Expr& form) {
        Header header;
        header.type = form.items[1].IsAtom() ? FindScriptType(form.items[1].text) : nullptr;
        if (!header.type) return header;
        size_t at = 2;
        if (header.type->declaresReturnType) {
            const ValueType* type = at < form.items.size() && form.items[at].IsAtom()
                                        ? FindValueType(form.items[at].text)
                                        : nullptr;
            header.returnType = type ? type->number : kVoid;
            ++at;
        }
        if (at < form.items.size() && form.items[at].IsAtom()) header.name = &form.items[at];
        return header;
    }

    void CollectScript(const Expr& form) {
        if (!IsHead(form, "script", 3)) return;
        const Header header = ReadHeader(form);
        if (!header.name) return;
        const std::string& name = header.name->text;
        const SourceScript script{&form, header.type, header.returnType, header.name->at};
        const auto [found, added] = scripts_.emplace(name, script);
        if (added) {
            scriptNames_.push_back(name);
            return;
        }
        // A static script replaces a stub of the same name, wherever each
        // stands; the stub is left out, as the kit leaves it.
        SourceScript& earlier = found->second;
        if (earlier.type->number == kStubScript && header.type->number == kStaticScript) {
            earlier = script;
        } else if (earlier.type->number != kStaticScript || header.type->number != kStubScript) {
            errors_.Report(header.name->at, "a script named " + Printable(name) + " is defined already, at line " +
                                                std::to_string(earlier.at.line));
        }
    }

    void CollectGlobalName(const Expr& form) {
        if (IsHead(form, "global", 3) && form.items[2].IsAtom())
            laterGlobals_.try_emplace(form.items[2].text, form.items[2].at);
    }

    std::optional<XmlNode> Global(const Expr& form) {
        const auto fail = [&](const Expr& at, const std::string& what) {
            errors_.Report(at.at, what);
            return std::nullopt;
        };
        if (form.items.size() != 4 || !form.items[1].IsAtom() || !form.items[2].IsAtom())
            return fail(form, "a global is declared as (global TYPE NAME VALUE)");
        const Expr& typeName = form.items[1];
        const Expr& name = form.items[2];
        const ValueType* type = FindValueType(typeName.text);
        if (!type || type->number < kBoolean)
            return fail(typeName, Printable(typeName.text) + " is not a value type a global can have");
        if (IsNumberAtom(name.text)) return fail(name, "the global needs a name, not the number " + Printable(name.text));
        if (TargetGlobal(name.text)) return fail(name, name.text + " is the name of an engine global");
        if (const auto earlier = globals_.find(name.text); earlier != globals_.end())
            return fail(name, "a global named " + Printable(name.text) + " is declared already, at line " +
                                  std::to_string(earlier->second.at.line));
        if (name.text.size() > static_cast<size_t>(global_record::kNameMax))
            return fail(name, "the global name " + Printable(name.text) + " is " + std::to_string(name.text.size()) +
                                  " bytes long; a global name holds at most " +
                                  std::to_string(global_record::kNameMax));
        if (globals_.size() >= static_cast<size_t>(scenario::kMaxGlobals))
            return fail(name, "a scenario holds at most " + std::to_string(scenario::kMaxGlobals) + " globals");

        // The initial value cannot name the global it initialises.
        Result value = Expression(form.items[3], type->number);
        globals_.emplace(name.text, SourceGlobal{type->number, static_cast<int>(globals_.size()), name.at});
        if (!value || !Shallow(value->node)) return std::nullopt;
        XmlNode global =
            Node("ScenarioGlobal", {{"NameAttr", name.text}, {"ValueType", std::to_string(type->number)}}, form.at);
        global.Children.push_back(std::move(value->node));
        return global;
    }

    std::optional<XmlNode> Script(const Expr& form) {
        const auto fail = [&](const Expr& at, const std::string& what) {
            errors_.Report(at.at, what);
            return std::nullopt;
        };
        if (!form.IsList() || form.items.empty() || !form.items[0].IsAtom())
            return fail(form, "expected (script ...) or (global ...) here");
        const std::string& head = form.items[0].text;
        if (head != "script")
            return fail(form, "expected (script ...) or (global ...) here, not (" + Printable(head) + " ...)");
        if (form.items.size() < 2 || !form.items[1].IsAtom())
            return fail(form, "expected (script startup|dormant|continuous|static|stub ...)");
        const Expr& typeName = form.items[1];
        const ScriptType* type = FindScriptType(typeName.text);
        if (!type)
            return fail(typeName,
                        Printable(typeName.text) + " is not a script type (startup, dormant, continuous, static, stub)");

        size_t next = 2;
        int returnType = kVoid;
        if (type->declaresReturnType) {
            if (next >= form.items.size() || !form.items[next].IsAtom())
                return fail(form, "a " + std::string(type->name) + " script names its return type: (script " +
                                      std::string(type->name) + " TYPE NAME ...)");
            const Expr& declared = form.items[next++];
            const ValueType* value = FindValueType(declared.text);
            if (!value || (value->number != kVoid && value->number < kBoolean))
                return fail(declared, Printable(declared.text) + " is not a value type a script can return");
            returnType = value->number;
        }
        if (next >= form.items.size() || !form.items[next].IsAtom() || IsNumberAtom(form.items[next].text))
            return fail(form, "the script needs a name after its type");
        const Expr& name = form.items[next++];
        if (const auto named = scripts_.find(name.text); named != scripts_.end() && named->second.form != &form)
            return std::nullopt;  // a stub that a static script replaces, or a name defined twice
        if (name.text.size() > static_cast<size_t>(script_record::kNameMax))
            return fail(name, "the script name " + Printable(name.text) + " is " + std::to_string(name.text.size()) +
                                  " bytes long; a script name holds at most " +
                                  std::to_string(script_record::kNameMax));
        if (next == form.items.size()) return fail(form, "the script " + Printable(name.text) + " has no expressions");

        XmlNode script = Node("script",
                              {{"NameAttr", name.text},
                               {"TypeAttr", std::to_string(type->number)},
                               {"ReTypeAttr", std::to_string(returnType)}},
                              form.at);
        // The body is the arguments of the `begin` the compiler wraps around it.
        bool ok = true;
        for (size_t i = next; i < form.items.size(); ++i) {
            Result value = Expression(form.items[i], i + 1 == form.items.size() ? returnType : kVoid);
            if (value && Shallow(value->node)) script.Children.push_back(std::move(value->node));
            else ok = false;
        }
        if (!ok) return std::nullopt;
        return script;
    }

    Result Expression(const Expr& e, int expected) {
        switch (e.kind) {
            case Expr::Kind::List: return Call(e, expected);
            case Expr::Kind::Atom: return Atom(e, expected);
            case Expr::Kind::String: break;
        }
        if (IsNumber(expected) || expected == kBoolean)
            return Fail(e, "a quoted string where " + AType(expected) + " is expected");
        return Name(e, keepCase_ ? e.text : LowerAscii(e.text), IsOpen(expected) ? kString : expected);
    }

    Result Atom(const Expr& e, int expected) {
        if (IsNumberAtom(e.text)) return Number(e, expected);
        if (const auto keyword = BooleanKeyword(e.text); keyword && (expected == kBoolean || IsOpen(expected)))
            return Value{Node("ScriptValue", {{"ValueType", "5"}, {"Value", *keyword ? "true" : "false"}}, e.at),
                         kBoolean};
        if (const auto global = globals_.find(e.text); global != globals_.end())
            return GlobalReference(e, global->second.type, global->second.index, expected);
        if (laterGlobals_.contains(e.text))
            return Fail(e, Printable(e.text) + " is a global declared later, at line " +
                               std::to_string(laterGlobals_.at(e.text).line) + "; a global is used after its declaration");
        if (const engine::Global* global = TargetGlobal(e.text))
            return GlobalReference(e, global->type, global->kit[static_cast<int>(engine_)], expected);
        return Name(e, e.text, expected);
    }

    Result Number(const Expr& e, int expected) {
        const auto integer = ParseInteger(e.text);
        if (IsOpen(expected)) expected = !integer ? kReal : *integer >= -32768 && *integer <= 32767 ? kShort : kLong;
        // A real is kept in its shortest form: "1.0" and "1" are the same value.
        if (expected == kReal)
            return Value{Node("ScriptValue", {{"ValueType", "6"}, {"Value", FormatReal(*ParseReal(e.text))}}, e.at),
                         kReal};
        if (!IsNumber(expected))
            return Fail(e, "the number " + Printable(e.text) + " where " + AType(expected) + " is expected");
        if (!integer && e.text.find_first_not_of("+-0123456789") == std::string::npos)
            return Fail(e, Printable(e.text) + " does not fit a long (-2147483648 to 2147483647)");
        if (!integer) return Fail(e, Printable(e.text) + " is not a whole number, and " + AType(expected) + " is expected");
        if (expected == kShort && (*integer < -32768 || *integer > 32767))
            return Fail(e, e.text + " does not fit a short (-32768 to 32767)");
        return Value{Node("ScriptValue", {{"ValueType", std::to_string(expected)}, {"Value", std::to_string(*integer)}},
                          e.at),
                     expected};
    }

    // A global, of the scenario or the engine: the game finds it by its name,
    // which the node keeps, and `number` is its place among its kind.
    Result GlobalReference(const Expr& e, int type, int number, int expected) {
        if (!Converts(type, expected))
            return Fail(e, Printable(e.text) + " is " + AType(type) + " global, where " + AType(expected) + " is expected");
        return Value{Node("GlobalValue",
                          {{"ValueType", std::to_string(type)}, {"Value", std::to_string(number)}, {"ValueCommand", e.text}},
                          e.at),
                     type};
    }

    // A name standing for a constant of the expected type: an object, an AI,
    // a script, a tag, an enumeration member...
    Result Name(const Expr& e, const std::string& text, int expected) {
        // A name where no name can stand is refused; the words are found only then.
        if (IsOpen(expected) || IsNumber(expected) || expected == kBoolean) {
            if (const std::string why = OtherGameOnly(text); !why.empty() && e.IsAtom()) return Fail(e, why);
            const std::string shown = Printable(text);
            const std::string hint = e.IsAtom() && (TargetFunction(text) || scripts_.contains(text))
                                         ? " (" + text + " is a " +
                                               (TargetFunction(text) ? "function" : "script") +
                                               ": call it as (" + text + "))"
                                         : std::string();
            if (IsOpen(expected))
                return Fail(e, shown + " is no global, and nothing here says what it is" +
                                   (hint.empty() ? SuggestGlobal(text, engine_) : hint));
            if (IsNumber(expected))
                return Fail(e, shown + " is not a number, and " + AType(expected) + " is expected" + hint);
            return Fail(e, shown + " is not true, false, on, off or a boolean global" +
                               (hint.empty() ? SuggestGlobal(text, engine_) : hint));
        }
        const ValueType& type = *ValueTypeByNumber(expected);
        if (type.memberCount > 0 && FindEnumMember(type, text) < 0) {
            std::string members;
            for (const auto member : EnumMembers().subspan(type.firstMember, type.memberCount))
                members += (members.empty() ? "" : ", ") + std::string(member);
            return Fail(e, Printable(text) + " is not " + AType(expected) + " (" + members + ")" +
                               Suggest(text, EnumMembers().subspan(type.firstMember, type.memberCount)));
        }
        if (expected == kScript && !scripts_.contains(text)) {
            const std::vector<std::string_view> names(scriptNames_.begin(), scriptNames_.end());
            return Fail(e, Printable(text) + " is not a script of this source" + Suggest(text, names));
        }
        if (level_ && expected != kScript) {
            const NameCheck check = CheckLevelName(*level_, expected, text, {});
            if (!check.problem.empty()) return Fail(e, check.problem);
            if (!check.unchecked.empty() && std::find(unchecked_.begin(), unchecked_.end(), check.unchecked) == unchecked_.end()) {
                unchecked_.push_back(check.unchecked);
                errors_.Warn(e.at, "not-checked", check.unchecked);
            }
        }
        return Value{Node("ScriptValue", {{"ValueType", std::to_string(expected)}, {"Value", text}}, e.at), expected};
    }

    Result Call(const Expr& list, int expected) {
        if (list.items.empty()) return Fail(list, "() calls nothing: a call is (FUNCTION ARGUMENTS...)");
        const Expr& head = list.items[0];
        if (!head.IsAtom()) return Fail(head, "expected a function name here");
        const std::string& name = head.text;
        const Function* f = TargetFunction(name);
        if (!f) {
            if (name == "script") return Fail(head, "(script ...) stands only at the top level");
            if (name == "global") return Fail(head, "(global ...) stands only at the top level");
            if (const auto script = scripts_.find(name); script != scripts_.end())
                return Typed(ScriptCall(list, script->second), expected, head);
            if (TargetGlobal(name) || globals_.contains(name))
                return Fail(head, name + " is a global, not a function: write it without parentheses");
            if (FindFunction(name))
                return Fail(head, name + " exists in Custom Edition only, and the retail game crashes on it");
            return Fail(head, Printable(name) + " is not a function" + SuggestFunction(name, engine_));
        }
        const bool keepCase = keepCase_;
        keepCase_ = (f->flags & flag::kAllowUppercase) != 0;
        Result result;
        switch (f->form) {
            case Form::Begin: result = Begin(list, *f, expected); break;
            case Form::If: result = If(list, *f, expected); break;
            case Form::Cond: result = Cond(list, expected); break;
            case Form::Set: result = Set(list, *f); break;
            case Form::Equality:
            case Form::Inequality: result = Compare(list, *f); break;
            default: result = Generic(list, *f); break;
        }
        keepCase_ = keepCase;
        return Typed(std::move(result), expected, head);
    }

    // A call's node takes the type of the place it fills where its type
    // converts to it; where the place takes anything it keeps its own.
    Result Typed(Result result, int expected, const Expr& head) {
        if (!result) return result;
        if (!Converts(result->type, expected))
            return Fail(head, head.text + " gives " + AType(result->type) + ", where " + AType(expected) + " is expected");
        if (!IsOpen(expected))
            for (auto& [attribute, value] : result->node.Attributes)
                if (attribute == "ValueType") value = std::to_string(expected);
        return result;
    }

    Result ScriptCall(const Expr& list, SourceScript& script) {
        const Expr& head = list.items[0];
        if (!IsCallable(*script.type))
            return Fail(head, head.text + " is a " + std::string(script.type->name) +
                                  " script: only static and stub scripts are called (wake it with (wake " +
                                  head.text + "))");
        if (list.items.size() > 1) return Fail(list.items[1], "a script call takes no arguments");
        script.called = true;
        return Value{Node("ScriptCall", {{"Script", head.text}, {"ValueType", std::to_string(script.returnType)}},
                          list.at),
                     script.returnType};
    }

    XmlNode Command(const Function& f, int type, Position at) {
        return Node("ScriptCommand",
                    {{"Command", std::string(f.name)}, {"EngineId", std::to_string(Kit(f))},
                     {"ValueType", std::to_string(type)}},
                    at);
    }

    // Translates `e` into `call`; a value of a still open type settles it.
    bool Argument(XmlNode& call, const Expr& e, int& want) {
        Result value = Expression(e, want);
        if (!value) return false;
        if (want == kPassthrough && value->type != kVoid) want = value->type;
        call.Children.push_back(std::move(value->node));
        return true;
    }

    Result Finish(XmlNode call, bool ok, int type) {
        if (!ok) return std::nullopt;
        return Value{std::move(call), type};
    }

    Result Generic(const Expr& list, const Function& f) {
        const auto parameters = ParametersOf(f);
        const size_t given = list.items.size() - 1;
        if (const std::string problem = ArgumentCountProblem(f, given); !problem.empty())
            return Fail(list.items[0], problem);
        XmlNode call = Command(f, f.returnType, list.at);
        bool ok = true;
        for (size_t i = 0; i < given; ++i) {
            int want = parameters[std::min(i, parameters.size() - 1)].type;
            ok = Argument(call, list.items[i + 1], want) && ok;
        }
        return Finish(std::move(call), ok, f.returnType);
    }

    // begin: every value but the last is discarded; begin_random: any may be the result.
    Result Begin(const Expr& list, const Function& f, int expected) {
        if (list.items.size() < 2) return Fail(list.items[0], std::string(f.name) + " needs at least one expression");
        int want = expected;
        XmlNode call = Command(f, 0, list.at);
        bool ok = true;
        for (size_t i = 1; i < list.items.size(); ++i) {
            const bool discarded = (f.flags & flag::kPassthroughLast) && i + 1 < list.items.size();
            int discard = kVoid;
            ok = Argument(call, list.items[i], discarded ? discard : want) && ok;
        }
        call.Attributes[2].second = std::to_string(want);
        return Finish(std::move(call), ok, want);
    }

    Result If(const Expr& list, const Function& f, int expected) {
        if (list.items.size() != 3 && list.items.size() != 4)
            return Fail(list.items[0], "if takes a condition, a value and an optional other value, not " +
                                           std::to_string(list.items.size() - 1) + " arguments");
        int want = expected, condition = kBoolean;
        XmlNode call = Command(f, 0, list.at);
        bool ok = Argument(call, list.items[1], condition);
        for (size_t i = 2; i < list.items.size(); ++i) ok = Argument(call, list.items[i], want) && ok;
        call.Attributes[2].second = std::to_string(want);
        return Finish(std::move(call), ok, want);
    }

    // (cond (C1 V...) (C2 V...)) is (if C1 (begin V...) (if C2 (begin V...))), as the kit compiles
    // it; a clause of one value needs no begin.
    Result Cond(const Expr& list, int expected) {
        if (list.items.size() < 2) return Fail(list.items[0], "cond needs at least one clause (CONDITION VALUE...)");
        // Each clause nests one more if.
        if (list.items.size() - 1 > static_cast<size_t>(XmlDocument::kMaxExpressionDepth))
            return Fail(list.items[0], "cond has " + std::to_string(list.items.size() - 1) +
                                           " clauses, which nest as many ifs; expressions nest at most " +
                                           std::to_string(XmlDocument::kMaxExpressionDepth) + " levels");
        const Function& ifFunction = *FindFunction("if");
        const Function& beginFunction = *FindFunction("begin");
        int want = expected;
        std::vector<XmlNode> tests, values;
        bool ok = true;
        for (size_t i = 1; i < list.items.size(); ++i) {
            const Expr& clause = list.items[i];
            if (!clause.IsList() || clause.items.size() < 2) {
                ok = Fail(clause, "a cond clause is (CONDITION VALUE...)").has_value();
                continue;
            }
            XmlNode holder;
            int condition = kBoolean;
            ok = Argument(holder, clause.items[0], condition) && ok;
            if (clause.items.size() > 2) {
                holder.Children.push_back(Command(beginFunction, 0, clause.items[1].at));
                for (size_t k = 1; k < clause.items.size(); ++k) {
                    int discard = kVoid;
                    ok = Argument(holder.Children.back(), clause.items[k], k + 1 == clause.items.size() ? want : discard) &&
                         ok;
                }
                holder.Children.back().Attributes[2].second = std::to_string(want);
            } else {
                ok = Argument(holder, clause.items[1], want) && ok;
            }
            if (holder.Children.size() == 2) {
                tests.push_back(std::move(holder.Children[0]));
                values.push_back(std::move(holder.Children[1]));
            }
        }
        if (!ok) return std::nullopt;
        XmlNode tail;
        bool haveTail = false;
        for (size_t i = tests.size(); i-- > 0;) {
            XmlNode node = Command(ifFunction, want, tests[i].Line ? Position{tests[i].Line, tests[i].Column} : list.at);
            node.Children.push_back(std::move(tests[i]));
            node.Children.push_back(std::move(values[i]));
            if (haveTail) node.Children.push_back(std::move(tail));
            tail = std::move(node);
            haveTail = true;
        }
        return Value{std::move(tail), want};
    }

    // (set GLOBAL VALUE), on a global of the scenario or of the engine.
    Result Set(const Expr& list, const Function& f) {
        if (list.items.size() != 3) return Fail(list.items[0], "set takes a global and a value");
        const Expr& target = list.items[1];
        int type = -1;
        if (target.IsAtom()) {
            if (const auto global = globals_.find(target.text); global != globals_.end()) type = global->second.type;
            else if (const engine::Global* engineGlobal = TargetGlobal(target.text)) type = engineGlobal->type;
        }
        if (type < 0 && target.IsAtom() && laterGlobals_.contains(target.text)) return Atom(target, kVoid);
        if (type < 0 && target.IsAtom() && !OtherGameOnly(target.text).empty())
            return Fail(target, OtherGameOnly(target.text));
        if (type < 0)
            return Fail(target, "set needs a global here" +
                                    (target.IsAtom() ? SuggestGlobal(target.text, engine_) : std::string()));
        int want = type;
        XmlNode call = Command(f, type, list.at);
        bool ok = Argument(call, target, want);
        ok = Argument(call, list.items[2], want) && ok;
        return Finish(std::move(call), ok, type);
    }

    // The type a value has by itself, before its place is known; -1 when only
    // its place can tell (a literal or a name).
    int OwnType(const Expr& e) const {
        if (e.IsList()) {
            if (e.items.empty() || !e.items[0].IsAtom()) return -1;
            if (const auto script = scripts_.find(e.items[0].text); script != scripts_.end())
                return script->second.returnType;
            const Function* f = TargetFunction(e.items[0].text);
            return f && f->returnType != kPassthrough ? f->returnType : -1;
        }
        if (!e.IsAtom()) return -1;
        if (const auto global = globals_.find(e.text); global != globals_.end()) return global->second.type;
        const engine::Global* global = TargetGlobal(e.text);
        return global ? global->type : -1;
    }

    // The two sides of a comparison take one type: the first side's own type,
    // else the literals' (numbers: short, or real when one has a fraction).
    Result Compare(const Expr& list, const Function& f) {
        if (list.items.size() != 3) return Fail(list.items[0], std::string(f.name) + " compares two values");
        int type = OwnType(list.items[1]);
        if (type < 0) type = OwnType(list.items[2]);
        if (type < 0) {
            for (size_t i = 1; i < 3; ++i) {
                const Expr& side = list.items[i];
                if (side.IsAtom() && IsNumberAtom(side.text))
                    type = !ParseInteger(side.text) ? kReal : type == kReal ? kReal : kShort;
                else if (side.IsAtom() && BooleanKeyword(side.text) && type < 0)
                    type = kBoolean;
            }
        }
        if (type < 0)
            return Fail(list.items[0], "nothing tells what " + std::string(f.name) +
                                           " compares: give a call, a global or a number on one side");
        if (f.form == Form::Inequality && !IsNumber(type) && ValueTypeByNumber(type)->memberCount == 0)
            return Fail(list.items[0], std::string(f.name) + " compares numbers, not " + TypeName(type) + " values");
        XmlNode call = Command(f, f.returnType, list.at);
        int want = type;
        bool ok = Argument(call, list.items[1], want);
        ok = Argument(call, list.items[2], want) && ok;
        return Finish(std::move(call), ok, f.returnType);
    }
};

}  // namespace

Translation Translate(std::string_view source, const std::string& fileName, Engine engine, const Level* level) {
    if (source.size() > kMaxSourceBytes)
        throw HscError({{fileName, 0, 0, "hsc",
                         "the source is " + std::to_string(source.size()) + " bytes; Tarnfold reads HSC sources of at most " +
                             std::to_string(kMaxSourceBytes) + " bytes (16 MiB)"}});
    Diagnostics errors(fileName);
    const std::vector<Expr> top = Parse(source, errors);
    errors.ThrowIfAny();
    XmlNode document = Translator(engine, errors, level).Document(top);
    errors.ThrowIfAny();
    // A compile replaces every script of the map: an empty or truncated
    // file must not remove them unnoticed.
    if (std::none_of(document.Children.begin(), document.Children.end(),
                     [](const XmlNode& item) { return item.Name == "script"; }))
        errors.Report({}, "the source holds no script, and compiling it would remove every script of the map; to "
                          "remove them all on purpose, compile an empty script document, <scripts/>");
    errors.ThrowIfAny();
    return {std::move(document), errors.Warnings()};
}

}  // namespace tarnfold::hsc
