#include "runtime/Interrupt.h"

#include <string>

#include "runtime/AtomicFile.h"
#include "runtime/Win32.h"

namespace tarnfold {

namespace {

// The console's handler runs on a thread of its own, so the state is
// guarded by a lock rather than by blocking signals as on Linux.
SRWLOCK g_lock = SRWLOCK_INIT;
enum State { kIdle, kWriting, kReplaced } g_state = kIdle;
std::wstring g_temporary;

// The status a Linux build ends with for the same event: 128 + SIGINT for
// Ctrl+C and Ctrl+Break, + SIGHUP for a closed console, + SIGTERM for a
// logoff or shutdown.
UINT Status(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT: return 130;
        case CTRL_CLOSE_EVENT: return 129;
        default: return 143;
    }
}

BOOL WINAPI OnConsoleEvent(DWORD event) {
    ::AcquireSRWLockExclusive(&g_lock);
    if (g_state == kReplaced) {
        ::ReleaseSRWLockExclusive(&g_lock);
        if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) return TRUE;
        // Windows ends the process once this returns from any other event:
        // wait instead, so that the program finishes (the system allows
        // a few seconds).
        ::Sleep(INFINITE);
    }
    // The file is open with leave to delete, so it goes now, and the process
    // ends at once, whatever its main thread was doing with the file.
    if (g_state == kWriting) ::DeleteFileW(g_temporary.c_str());
    ::TerminateProcess(::GetCurrentProcess(), Status(event));
    return TRUE;
}

}  // namespace

namespace interrupt {

Guard::Guard() { ::AcquireSRWLockExclusive(&g_lock); }
Guard::~Guard() { ::ReleaseSRWLockExclusive(&g_lock); }

void RegisterTemporary(const std::filesystem::path& temporary) {
    g_temporary = temporary.wstring();
    g_state = kWriting;
}

void ForgetTemporary() { g_state = kIdle; }
void Replaced() { g_state = kReplaced; }

}  // namespace interrupt

void RemoveTemporaryOnInterrupt() { ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE); }

}  // namespace tarnfold
