#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "runtime/Error.h"

namespace tarnfold {

// Replaces a file as a whole or not at all. The new content goes into a
// temporary file in the same folder (so the final rename cannot cross file
// systems); Commit() flushes it to disk and renames it over the target. If
// anything fails, or the object is destroyed without Commit(), the temporary
// file is removed and the target is untouched.
//
// The system's own calls are used rather than iostreams because durability
// needs a flush to disk and an atomic rename of a flushed file, which the
// standard library does not offer. Each platform has its file
// (AtomicFile_posix.cpp, AtomicFile_win32.cpp).
class AtomicFile {
public:
    // Whether the target must exist already (a map) or may be created (an
    // output file, made with the permissions a new file gets).
    enum class Mode { ReplaceExisting, CreateOrReplace };

    // `target` must be a resolved path; `noun` names it in messages ("map").
    AtomicFile(const std::filesystem::path& target, std::string noun, Mode mode = Mode::ReplaceExisting);
    ~AtomicFile() {
        if (!committed_) Discard();
    }
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    void Write(const uint8_t* data, size_t count) {
        WriteAt(written_, data, count);
        written_ += static_cast<int64_t>(count);
        StartWriteback();
    }
    // Appends up to `count` bytes of `source` from `offset` on, copied inside
    // the kernel: file systems that share extents (XFS with reflink, btrfs)
    // clone them instead of copying. Returns how many bytes it appended; 0
    // where the kernel cannot copy between these files (always, on Windows),
    // so that the caller writes the bytes itself.
    int64_t CopyFrom(const std::filesystem::path& source, int64_t offset, int64_t count);
    // Writes over bytes already appended.
    void WriteAt(int64_t offset, const uint8_t* data, size_t count);
    // Flushes the new content to disk; then Commit() renames it over the target.
    void Flush();
    // `afterRename` (tests) runs once the new file has replaced the target,
    // before the folder is flushed.
    void Commit(const std::function<void()>& afterRename = {});

    const std::filesystem::path& Target() const { return target_; }
    const std::filesystem::path& TemporaryPath() const { return temporary_; }

private:
    void Discard();
    void StartWriteback();
    Error WriteFailed(int64_t reason) const;

    std::filesystem::path target_;
    std::string noun_;
    std::filesystem::path temporary_;
    bool existed_ = true;
    static constexpr int64_t kWritebackStep = int64_t{8} << 20;

    intptr_t handle_ = -1;  // a file descriptor, or a Windows HANDLE
    bool flushed_ = false;
    bool committed_ = false;
    int64_t written_ = 0;
    int64_t flushedUpTo_ = 0;
};

// Removes the temporary files that writes of `target` (a resolved path) left
// behind when their process was killed, and returns how many. Call it only
// while holding the target's FileLock: then no other compile of it is writing
// one, so every such file is stale.
int RemoveStaleTemporaries(const std::filesystem::path& target);

// Makes Ctrl+C, SIGTERM and SIGHUP (on Windows: Ctrl+C, Ctrl+Break and
// closing the console) remove the temporary file being written, if any,
// before the process ends with status 128 + the signal's number (130 for
// Ctrl+C). One that comes after the new file has replaced its target lets
// the program finish instead: the work is done. For programs that write a
// file and then end, such as the command line.
void RemoveTemporaryOnInterrupt();

}  // namespace tarnfold
