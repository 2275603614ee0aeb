#include "runtime/Interrupt.h"

#include <signal.h>
#include <unistd.h>

#include <climits>
#include <cstring>

#include "runtime/AtomicFile.h"

namespace tarnfold {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The temporary file being written, for the handler: a fixed buffer, since a
// signal handler may not allocate.
char g_temporary[PATH_MAX + 1];
enum State : int { kIdle, kWriting, kReplaced };
volatile sig_atomic_t g_state = kIdle;
sigset_t g_before;  // the mask a Guard restores

void OnSignal(int signal) {
    if (g_state == kReplaced) return;
    if (g_state == kWriting) ::unlink(g_temporary);
    ::_exit(128 + signal);
}

sigset_t Signals() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal : kSignals) sigaddset(&set, signal);
    return set;
}

}  // namespace

namespace interrupt {

// Blocking the signals defers them: one that arrives meanwhile is delivered
// when the guard unblocks them, and then finds the state the guard left.
Guard::Guard() {
    const sigset_t set = Signals();
    ::sigprocmask(SIG_BLOCK, &set, &g_before);
}

Guard::~Guard() { ::sigprocmask(SIG_SETMASK, &g_before, nullptr); }

void RegisterTemporary(const std::filesystem::path& temporary) {
    const std::string& name = temporary.native();
    if (name.size() > PATH_MAX) return;
    std::memcpy(g_temporary, name.c_str(), name.size() + 1);
    g_state = kWriting;
}

void ForgetTemporary() { g_state = kIdle; }
void Replaced() { g_state = kReplaced; }

}  // namespace interrupt

void RemoveTemporaryOnInterrupt() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : kSignals) {
        // A signal the process was started ignoring (nohup, a background
        // job) stays ignored.
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
        ::sigaction(signal, &action, nullptr);
    }
}

}  // namespace tarnfold
