#include "runtime/TestHooks.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace tarnfold::test_hooks {

void ChunkWritten(int chunks) {
    static const int pauseAfter = [] {
        const char* value = std::getenv("TARNFOLD_TEST_PAUSE_AFTER_CHUNKS");
        return value ? std::atoi(value) : 0;
    }();
    if (pauseAfter <= 0 || chunks != pauseAfter) return;
    std::fputs("paused\n", stderr);
    std::fflush(stderr);
    for (;;) ::pause();
}

}  // namespace tarnfold::test_hooks
