// Peak memory of an HSC compile's translation and build for sources of
// 10 MB and at the size limit, each in a child process of its own whose peak
// resident set the kernel reports (wait4). The goal: at most 256 MB each.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>

#include "compiler/ScriptCompilier.h"
#include "hsc/Translate.h"

namespace {

constexpr long kGoalKiB = 256 * 1024;

// `size` bytes of source: `unit` over and over, in scripts of 40 units each
// when `script`, then `tail`.
std::string Repeated(size_t size, const std::string& unit, bool script, const std::string& tail = {}) {
    std::string text;
    text.reserve(size);
    for (int s = 0; text.size() + tail.size() < size; ++s) {
        std::string piece = script ? "(script dormant s" + std::to_string(s) : std::string();
        for (int u = 0; u < 40; ++u) piece += unit;
        if (script) piece += ")\n";
        if (text.size() + piece.size() + tail.size() > size) break;
        text += piece;
    }
    text += tail;
    text.resize(size, ' ');
    return text;
}

const std::string kMission = "(global short wave 0)\n(script startup start (sleep 30) (set wave (+ wave 1)))\n";

struct Case {
    const char* what;
    std::function<std::string()> source;
};

const Case kCases[] = {
    {"10 MB of scripts", [] { return Repeated(10'000'000, "\n    (fade_in 1 0.5 0.25 30)", true); }},
    {"10 MB of empty calls, ()", [] { return "(script startup a " + Repeated(10'000'000 - 20, "()", false) + ")"; }},
    {"10 MB of comments around a mission", [] { return Repeated(10'000'000, "; a comment line of the source\n", false, kMission); }},
    {"10 MB: a mission printing long strings",
     [] { return kMission + "(script dormant p" + Repeated(10'000'000 - 200, " (print \"" + std::string(4000, 'x') + "\")", false) + ")"; }},
    {"16 MiB of scripts (the size limit)",
     [] { return Repeated(tarnfold::hsc::kMaxSourceBytes, "\n    (fade_in 1 0.5 0.25 30)", true); }},
    {"16 MiB + 1 byte (refused)", [] { return std::string(tarnfold::hsc::kMaxSourceBytes + 1, ' '); }},
};

// In the child: what a compile does before it reads the map.
int Run(const Case& c) {
    const std::string source = c.source();
    try {
        const auto translation = tarnfold::hsc::Translate(source, "big.hsc", tarnfold::Engine::Custom);
        const int nodes = tarnfold::ScriptCompilier().BuildScripts(translation.document).nodeCount;
        std::printf("%s: %zu bytes, translated into %d nodes\n", c.what, source.size(), nodes);
    } catch (const std::exception& e) {
        const std::string first = std::string(e.what()).substr(0, std::string(e.what()).find('\n'));
        std::printf("%s: %zu bytes, refused: %s\n", c.what, source.size(), first.c_str());
    }
    std::fflush(stdout);
    return 0;
}

}  // namespace

int main() {
    std::printf("Peak memory of HSC translation and build (goal: %ld MiB at most)\n", kGoalKiB / 1024);
    bool met = true;
    for (const Case& c : kCases) {
        std::fflush(stdout);  // or the child prints it again
        const pid_t child = ::fork();
        if (child == 0) ::_exit(Run(c));
        int status = 0;
        rusage usage{};
        ::wait4(child, &status, 0, &usage);
        std::printf("  peak RSS %.1f MiB\n", usage.ru_maxrss / 1024.0);
        met = met && WIFEXITED(status) && WEXITSTATUS(status) == 0 && usage.ru_maxrss <= kGoalKiB;
    }
    std::printf(met ? "every case within the goal\n" : "A CASE PASSED THE GOAL\n");
    return met ? 0 : 1;
}
