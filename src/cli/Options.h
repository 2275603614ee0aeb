#pragma once

#include <string>
#include <utility>
#include <vector>

#include <CLI/CLI.hpp>

// Mistyped options, answered with the option or value that was meant.
namespace tarnfold::cli {

// A value that must be one of `choices`, each given with the name it stands
// for ({"custom", "Custom Edition"}); another value is refused with the
// nearest choice: a typo, a prefix, or the name's initials ("ce").
CLI::Validator OneOf(std::vector<std::pair<std::string, std::string>> choices);

// When the command line holds an option that the chosen command does not
// have, what to say ("unknown option '--dryrun' (did you mean --dry-run?)");
// else empty.
std::string UnknownOption(const CLI::App& app, int argc, const char* const* argv);

}  // namespace tarnfold::cli
