#include "engine/Tables.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "runtime/EditDistance.h"

namespace tarnfold {

std::string_view EngineName(Engine engine) { return engine == Engine::Retail ? "retail" : "Custom Edition"; }

namespace engine {

namespace {

// Built once, on first use; the keys point into the generated arrays.
template <typename T>
std::unordered_map<std::string_view, const T*> IndexByName(std::span<const T> rows) {
    std::unordered_map<std::string_view, const T*> index;
    index.reserve(rows.size());
    for (const T& row : rows) index.emplace(row.name, &row);  // emplace keeps the first of a name
    return index;
}

template <typename T>
const T* Find(std::span<const T> rows, std::string_view name) {
    static const auto index = IndexByName(rows);
    const auto found = index.find(name);
    return found == index.end() ? nullptr : found->second;
}

template <typename T>
std::string SuggestAmong(std::string_view name, std::span<const T> rows, Engine engine) {
    std::vector<std::string_view> names;
    for (const T& row : rows)
        if (Exists(row, engine)) names.push_back(row.name);
    return Suggest(name, names);
}

}  // namespace

std::span<const Parameter> ParametersOf(const Function& function) {
    return Parameters().subspan(function.firstParameter, function.parameterCount);
}

bool Exists(const Function& function, Engine engine) { return function.kit[static_cast<int>(engine)] >= 0; }
bool Exists(const Global& global, Engine engine) { return global.kit[static_cast<int>(engine)] >= 0; }

const Function* FindFunction(std::string_view name) { return Find(Functions(), name); }
const Global* FindGlobal(std::string_view name) { return Find(Globals(), name); }
const ValueType* FindValueType(std::string_view name) { return Find(ValueTypes(), name); }
const ScriptType* FindScriptType(std::string_view name) { return Find(ScriptTypes(), name); }

const ValueType* ValueTypeByNumber(int number) {
    const auto types = ValueTypes();
    return number >= 0 && static_cast<size_t>(number) < types.size() ? &types[static_cast<size_t>(number)] : nullptr;
}

int FindEnumMember(const ValueType& type, std::string_view name) {
    const auto members = EnumMembers().subspan(type.firstMember, type.memberCount);
    const auto found = std::find(members.begin(), members.end(), name);
    return found == members.end() ? -1 : static_cast<int>(found - members.begin());
}

std::string TypeName(int number) {
    if (const ValueType* type = ValueTypeByNumber(number)) return std::string(type->name);
    return "type " + std::to_string(number);
}

std::string WithArticle(std::string_view noun) {
    // "unit" is said with a consonant: a unit, a unit_name.
    const bool vowel = !noun.empty() && std::string_view("aeiou").find(noun.front()) != std::string_view::npos &&
                       !noun.starts_with("uni");
    return (vowel ? "an " : "a ") + std::string(noun);
}

std::string ArgumentCountProblem(const Function& function, size_t given) {
    size_t required = 0, most = 0;
    bool unbounded = false, pairs = false;
    for (const Parameter& p : ParametersOf(function)) {
        required += p.arity == Arity::Required;
        most += p.arity == Arity::Required || p.arity == Arity::Optional;
        unbounded = unbounded || p.arity == Arity::Variadic || p.arity == Arity::RepeatedPair;
        pairs = pairs || p.arity == Arity::RepeatedPair;
    }
    if (pairs) required = 2;
    if (given >= required && (unbounded || given <= most) && (!pairs || given % 2 == 0)) return {};
    const std::string count = pairs       ? "pairs of"
                              : unbounded ? "at least " + std::to_string(required)
                              : required == most ? std::to_string(required)
                                                 : std::to_string(required) + " to " + std::to_string(most);
    return std::string(function.name) + " takes " + count + (count == "1" ? " argument" : " arguments") + ", not " +
           std::to_string(given);
}

bool Converts(int from, int to) {
    using namespace value_type;
    const auto isObject = [](int t) { return t >= kObject && t <= kScenery; };
    if (from == to || to == kVoid || to == kPassthrough) return true;
    if (IsNumber(from) && IsNumber(to)) return true;
    if (from >= kObjectName && from <= kSceneryName) from -= kObjectName - kObject;
    return from == to || (isObject(from) && (to == kObject || to == kObjectList));
}

std::string Suggest(std::string_view name, std::span<const std::string_view> names) {
    // Close means a typo or two, not a different word: fewer edits than half
    // the name's letters ("x" is no typo of "+", "ok" none of "or").
    if (name.size() < 3) return {};
    size_t best = std::min(std::max<size_t>(2, name.size() / 4), (name.size() + 1) / 2 - 1) + 1;
    std::string_view closest;
    for (const std::string_view candidate : names) {
        const size_t gap = candidate.size() > name.size() ? candidate.size() - name.size() : name.size() - candidate.size();
        if (gap >= best) continue;
        const size_t distance = EditDistance(name, candidate);
        if (distance < best) {
            best = distance;
            closest = candidate;
        }
    }
    return closest.empty() ? std::string() : " (did you mean " + std::string(closest) + "?)";
}

std::string SuggestFunction(std::string_view name, Engine engine) { return SuggestAmong(name, Functions(), engine); }
std::string SuggestGlobal(std::string_view name, Engine engine) { return SuggestAmong(name, Globals(), engine); }

}  // namespace engine
}  // namespace tarnfold
