#include "Options.h"

#include <cctype>

#include "runtime/EditDistance.h"
#include "runtime/Numbers.h"

namespace tarnfold::cli {

namespace {

// A typo or two, not another word.
bool Close(std::string_view typed, std::string_view known) {
    return EditDistance(typed, known) <= std::max<size_t>(1, std::min<size_t>(2, typed.size() / 3));
}

std::string Initials(std::string_view name) {
    std::string initials;
    for (size_t i = 0; i < name.size(); ++i)
        if (i == 0 || name[i - 1] == ' ') initials += static_cast<char>(std::tolower(static_cast<unsigned char>(name[i])));
    return initials;
}

}  // namespace

CLI::Validator OneOf(std::vector<std::pair<std::string, std::string>> choices) {
    std::string names;
    for (const auto& choice : choices) names += (names.empty() ? "" : "|") + choice.first;
    return CLI::Validator(
        [choices, names](std::string& value) -> std::string {
            const std::string typed = LowerAscii(value);
            for (const auto& [choice, name] : choices)
                if (typed == choice) return {};
            std::string what = "'" + value + "' is not one of " + names;
            for (const auto& [choice, name] : choices)
                if (Close(typed, choice) || (!typed.empty() && choice.starts_with(typed)) || typed == Initials(name))
                    return what + " (did you mean " + choice + "?)";
            return what;
        },
        names);
}

std::string UnknownOption(const CLI::App& app, int argc, const char* const* argv) {
    // The options the command line's command has, and the tool's own.
    const CLI::App* command = &app;
    for (const CLI::App* sub : app.get_subcommands({}))
        if (sub->parsed()) command = sub;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--") break;
        if (!arg.starts_with("--")) continue;
        const std::string name(arg.substr(2, arg.find('=') - 2));
        std::string nearest;
        bool known = false;
        for (const CLI::App* owner : {command, &app}) {
            for (const CLI::Option* option : owner->get_options()) {
                for (const std::string& known_name : option->get_lnames()) {
                    known = known || known_name == name;
                    if (nearest.empty() && Close(name, known_name)) nearest = known_name;
                }
            }
        }
        if (known) continue;
        std::string what = "unknown option '--" + name + "'";
        if (!nearest.empty()) what += " (did you mean --" + nearest + "?)";
        return what + "; tarnfold-cli " + (command == &app ? std::string() : command->get_name() + " ") +
               "--help lists the options";
    }
    return {};
}

}  // namespace tarnfold::cli
