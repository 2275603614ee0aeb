#pragma once

// The Halo PC script engine's tables: functions, engine globals, value types
// and script types. The arrays are generated at build time from data/hsc/*.tsv
// (GenerateTables.cpp); the lookups by name are hash maps built on first use.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "engine/Engine.h"
#include "scenario/ValueType.h"

namespace tarnfold::engine {

enum class Form : uint8_t {
    None, Begin, If, Cond, Set, Logical, Arithmetic, Equality, Inequality, Sleep, SleepUntil, Wake, Inspect,
    ObjectCast
};
enum class Arity : uint8_t { Required, Optional, Variadic, RepeatedPair };

namespace flag {
constexpr uint8_t kPassthroughLast = 1, kInequality = 2, kManyGroup = 4, kNoReleaseIndex = 8, kAllowUppercase = 16;
}

struct Parameter {
    int16_t type;
    Arity arity;
};

struct Function {
    std::string_view name;
    int16_t returnType;
    uint16_t firstParameter;  // into Parameters()
    uint16_t parameterCount;
    int16_t kit[2];           // by Engine: the number the official kit writes; -1 where absent
    int16_t release[2];       // by Engine: the release game's own numbering; -1 where none
    Form form;
    uint8_t flags;
};

struct Global {
    std::string_view name;
    int16_t type;
    int16_t kit[2];  // by Engine; -1 where absent
};

struct ValueType {
    int16_t number;
    std::string_view name;
    std::string_view tagClass;  // the class of the tags a constant of this type names
    uint16_t firstMember;  // into EnumMembers()
    uint16_t memberCount;
};

struct ScriptType {
    int16_t number;
    std::string_view name;
    bool declaresReturnType;  // static and stub name their return type; the others are void
};

// The generated tables, in the data files' order.
std::span<const Function> Functions();
std::span<const Parameter> Parameters();
std::span<const Global> Globals();
std::span<const ValueType> ValueTypes();  // index = number
std::span<const std::string_view> EnumMembers();
std::span<const ScriptType> ScriptTypes();  // index = number

std::span<const Parameter> ParametersOf(const Function& function);
bool Exists(const Function& function, Engine engine);
bool Exists(const Global& global, Engine engine);

// Lookups by exact name; nullptr (or -1) when there is none.
const Function* FindFunction(std::string_view name);
const Global* FindGlobal(std::string_view name);  // the first of a name that occurs twice
const ValueType* FindValueType(std::string_view name);
const ValueType* ValueTypeByNumber(int number);
const ScriptType* FindScriptType(std::string_view name);
int FindEnumMember(const ValueType& type, std::string_view name);
std::string TypeName(int number);  // the name, or "type N" outside the table
// "a unit", "an object", "an ai_command_list": a noun with its article.
std::string WithArticle(std::string_view noun);
// "ai_place takes 1 argument, not 2", or empty when `given` arguments fit.
std::string ArgumentCountProblem(const Function& function, size_t given);

// Whether a value of type `from` may stand where `to` is expected: numbers
// convert to each other, object types to object and object_list, and each
// *_name to its object type; void discards and passthrough takes anything.
bool Converts(int from, int to);

// " (did you mean X?)" for the closest function or global of the target, or
// empty when nothing is close.
std::string SuggestFunction(std::string_view name, Engine engine);
std::string SuggestGlobal(std::string_view name, Engine engine);
// The same for a closest match among `names`.
std::string Suggest(std::string_view name, std::span<const std::string_view> names);

}  // namespace tarnfold::engine
