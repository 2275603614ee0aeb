#include "Warnings.h"

#include <limits>
#include <map>
#include <ostream>
#include <string>
#include <utility>

#include "runtime/Printable.h"

namespace tarnfold::cli {

namespace {

// Places listed on a grouped warning's line before the rest is counted.
constexpr size_t kListedPlaces = 5;

std::string Place(const Diagnostic& d) { return std::to_string(d.line) + ":" + std::to_string(d.column); }

}  // namespace

std::string MessageLine(const Diagnostic& message, const char* level) {
    const std::string line = message.Placed() && !message.file.empty()
                                 ? message.Format(level)
                                 : "tarnfold-cli: " + std::string(level) + ": " + message.Format(level);
    return Printable(line, std::numeric_limits<size_t>::max());
}

void PrintWarnings(const std::vector<Diagnostic>& warnings, bool all, std::ostream& err) {
    if (all) {
        for (const Diagnostic& warning : warnings) err << MessageLine(warning, "warning") << "\n";
        return;
    }
    // The groups in the order their first warning came.
    std::vector<std::vector<const Diagnostic*>> groups;
    std::map<std::pair<std::string, std::string>, size_t> index;
    for (const Diagnostic& warning : warnings) {
        const auto [at, added] = index.try_emplace({warning.file + "\n" + warning.code, warning.text}, groups.size());
        if (added) groups.emplace_back();
        groups[at->second].push_back(&warning);
    }
    size_t shown = 0, warningsShown = 0;
    for (const auto& group : groups) {
        if (shown == kShownWarningLines) break;
        std::string line = MessageLine(*group.front(), "warning");
        if (group.size() > 1) {
            line += " (" + std::to_string(group.size() - 1) + " more time" + (group.size() > 2 ? "s" : "");
            if (group.front()->Placed()) {
                line += ", at ";
                for (size_t i = 1; i < group.size() && i <= kListedPlaces; ++i)
                    line += (i > 1 ? ", " : "") + Place(*group[i]);
                if (group.size() - 1 > kListedPlaces) line += ", \xE2\x80\xA6";
            }
            line += ")";
        }
        err << line << "\n";
        ++shown;
        warningsShown += group.size();
    }
    if (const size_t rest = warnings.size() - warningsShown; rest > 0)
        err << "tarnfold-cli: and " << rest << " more warning" << (rest > 1 ? "s" : "")
            << " like these; --all-warnings shows them\n";
}

}  // namespace tarnfold::cli
