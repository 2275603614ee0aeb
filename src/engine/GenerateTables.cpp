// Build step: turns the script tables in data/hsc/*.tsv into a C++ source of
// constant arrays (the file Tables.h declares). Any row it cannot read fails
// the build, naming file, line and field, so the tables never load half read.
//
//   GenerateTables DATA_DIR OUTPUT.cpp
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Row = std::vector<std::string>;

struct Table {
    std::string file;
    std::vector<Row> rows;  // without the header
};

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(text);
    while (std::getline(in, field, separator)) fields.push_back(field);
    if (!text.empty() && text.back() == separator) fields.emplace_back();
    return fields;
}

[[noreturn]] void Fail(const std::string& file, size_t row, const std::string& what) {
    throw std::runtime_error(file + ":" + std::to_string(row + 2) + ": " + what);
}

Table Read(const std::string& directory, const std::string& name, size_t columns) {
    Table table{directory + "/" + name, {}};
    std::ifstream in(table.file);
    if (!in) throw std::runtime_error("cannot open " + table.file);
    std::string line;
    std::getline(in, line);  // the header
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        Row row = Split(line, '\t');
        if (row.size() != columns)
            Fail(table.file, table.rows.size(),
                 std::to_string(row.size()) + " fields, expected " + std::to_string(columns));
        table.rows.push_back(std::move(row));
    }
    return table;
}

std::string Quote(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

int Number(const Table& table, size_t row, const std::string& text, bool optional) {
    if (text.empty() && optional) return -1;
    size_t used = 0;
    int value = 0;
    try {
        value = std::stoi(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size() || value < 0 || value > 32767)
        Fail(table.file, row, "\"" + text + "\" is not a number");
    return value;
}

std::string Form(const Table& table, size_t row, const std::string& text) {
    static const std::map<std::string, std::string> forms = {
        {"", "None"}, {"begin", "Begin"}, {"if", "If"}, {"cond", "Cond"}, {"set", "Set"},
        {"logical", "Logical"}, {"arithmetic", "Arithmetic"}, {"equality", "Equality"},
        {"inequality", "Inequality"}, {"sleep", "Sleep"}, {"sleep_until", "SleepUntil"}, {"wake", "Wake"},
        {"inspect", "Inspect"}, {"object_cast", "ObjectCast"}};
    const auto found = forms.find(text);
    if (found == forms.end()) Fail(table.file, row, "unknown form \"" + text + "\"");
    return "Form::" + found->second;
}

std::string Flags(const Table& table, size_t row, const std::string& text) {
    static const std::map<std::string, std::string> flags = {
        {"passthrough_last", "flag::kPassthroughLast"}, {"inequality", "flag::kInequality"},
        {"many_group", "flag::kManyGroup"}, {"no_release_index", "flag::kNoReleaseIndex"},
        {"allow_uppercase", "flag::kAllowUppercase"}};
    std::string out;
    for (const std::string& name : Split(text, ' ')) {
        if (name.empty()) continue;
        const auto found = flags.find(name);
        if (found == flags.end()) Fail(table.file, row, "unknown flag \"" + name + "\"");
        out += (out.empty() ? "" : " | ") + found->second;
    }
    return out.empty() ? "0" : out;
}

void Generate(const std::string& directory, std::ostream& out) {
    const Table types = Read(directory, "value-types.tsv", 6);
    const Table scripts = Read(directory, "script-types.tsv", 3);
    const Table functions = Read(directory, "functions.tsv", 11);
    const Table globals = Read(directory, "globals.tsv", 6);

    std::map<std::string, int> typeNumber;
    out << "// Generated from data/hsc/*.tsv by GenerateTables at build time: edit the data, not this file.\n"
        << "#include \"engine/Tables.h\"\n\nnamespace tarnfold::engine {\n\nnamespace {\n\n"
        << "constexpr std::string_view kEnumMembers[] = {\n";
    std::ostringstream typeRows;
    int members = 0;
    for (size_t i = 0; i < types.rows.size(); ++i) {
        const Row& row = types.rows[i];
        if (Number(types, i, row[0], false) != static_cast<int>(i)) Fail(types.file, i, "numbers must run 0, 1, 2...");
        typeNumber[row[1]] = static_cast<int>(i);
        int count = 0;
        for (const std::string& member : Split(row[5], ',')) {
            out << "    " << Quote(member) << ",\n";
            ++count;
        }
        typeRows << "    {" << i << ", " << Quote(row[1]) << ", " << Quote(row[4]) << ", " << members << ", " << count
                 << "},\n";
        members += count;
    }
    out << "};\n\nconstexpr ValueType kValueTypes[] = {\n" << typeRows.str() << "};\n\n";

    out << "constexpr ScriptType kScriptTypes[] = {\n";
    for (size_t i = 0; i < scripts.rows.size(); ++i) {
        const Row& row = scripts.rows[i];
        if (Number(scripts, i, row[0], false) != static_cast<int>(i)) Fail(scripts.file, i, "numbers must run 0, 1, 2...");
        out << "    {" << i << ", " << Quote(row[1]) << ", " << (row[2].find("declared") == 0 ? "true" : "false")
            << "},\n";
    }
    out << "};\n\n";

    const auto TypeOf = [&](const Table& table, size_t row, std::string name) {
        const auto found = typeNumber.find(name);
        if (found == typeNumber.end()) Fail(table.file, row, "unknown value type \"" + name + "\"");
        return found->second;
    };

    std::ostringstream parameters;
    std::ostringstream functionRows;
    int parameterCount = 0;
    for (size_t i = 0; i < functions.rows.size(); ++i) {
        const Row& row = functions.rows[i];
        int count = 0;
        for (std::string parameter : Split(row[2], ' ')) {
            if (parameter.empty()) continue;
            std::string arity = "Required";
            if (parameter.front() == '(') {  // "(boolean passthrough)...": a repeated pair
                parameter.erase(0, 1);
                arity = "RepeatedPair";
            }
            if (parameter.size() > 4 && parameter.ends_with(")...")) {
                parameter.resize(parameter.size() - 4);
                arity = "RepeatedPair";
            } else if (parameter.ends_with("...")) {
                parameter.resize(parameter.size() - 3);
                arity = "Variadic";
            } else if (parameter.ends_with("?")) {
                parameter.pop_back();
                arity = "Optional";
            }
            parameters << "    {" << TypeOf(functions, i, parameter) << ", Arity::" << arity << "},\n";
            ++count;
        }
        functionRows << "    {" << Quote(row[0]) << ", " << TypeOf(functions, i, row[1]) << ", " << parameterCount
                     << ", " << count << ", {" << Number(functions, i, row[3], true) << ", "
                     << Number(functions, i, row[4], true) << "}, {" << Number(functions, i, row[5], true) << ", "
                     << Number(functions, i, row[6], true) << "}, " << Form(functions, i, row[7]) << ", "
                     << Flags(functions, i, row[8]) << "},\n";
        parameterCount += count;
    }
    out << "constexpr Parameter kParameters[] = {\n" << parameters.str() << "};\n\n"
        << "constexpr Function kFunctions[] = {\n" << functionRows.str() << "};\n\n";

    out << "constexpr Global kGlobals[] = {\n";
    for (size_t i = 0; i < globals.rows.size(); ++i) {
        const Row& row = globals.rows[i];
        out << "    {" << Quote(row[0]) << ", " << TypeOf(globals, i, row[1]) << ", {"
            << Number(globals, i, row[2], true) << ", " << Number(globals, i, row[3], true) << "}},\n";
    }
    out << "};\n\n}  // namespace\n\n"
        << "std::span<const Function> Functions() { return kFunctions; }\n"
        << "std::span<const Parameter> Parameters() { return kParameters; }\n"
        << "std::span<const Global> Globals() { return kGlobals; }\n"
        << "std::span<const ValueType> ValueTypes() { return kValueTypes; }\n"
        << "std::span<const std::string_view> EnumMembers() { return kEnumMembers; }\n"
        << "std::span<const ScriptType> ScriptTypes() { return kScriptTypes; }\n\n"
        << "}  // namespace tarnfold::engine\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: GenerateTables DATA_DIR OUTPUT.cpp\n";
        return 2;
    }
    try {
        std::ostringstream text;
        Generate(argv[1], text);
        // Written whole or not at all: a half-written source would compile into wrong tables.
        const std::string temporary = std::string(argv[2]) + ".tmp";
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text.str();
        out.close();
        if (!out || std::rename(temporary.c_str(), argv[2]) != 0)
            throw std::runtime_error(std::string("cannot write ") + argv[2]);
    } catch (const std::exception& error) {
        std::cerr << "GenerateTables: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
