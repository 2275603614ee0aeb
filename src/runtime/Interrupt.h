#pragma once

#include <filesystem>

namespace tarnfold::interrupt {

// What an interrupt (Ctrl+C, SIGTERM, a closed console) finds when
// RemoveTemporaryOnInterrupt() has been called. The handler and the writer
// never see each other half-way: each change happens inside a Guard.
//
// - While a temporary file is registered, the interrupt removes it and ends
//   the process with 128 + the signal's number (130 for Ctrl+C).
// - Once the temporary file has replaced its target, the work is done and
//   only its report is left: interrupts are held off, so that the program
//   finishes, says what it did and ends as it would have.
// - Otherwise the process ends at once with that status.

// Holds interrupts off for its life: the handler waits, or the signal stays
// pending, until the guard is gone.
class Guard {
public:
    Guard();
    ~Guard();
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;
};

// Call inside a Guard.
void RegisterTemporary(const std::filesystem::path& temporary);
void ForgetTemporary();  // it was removed
void Replaced();         // it became the target

}  // namespace tarnfold::interrupt
