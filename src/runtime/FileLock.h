#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>

namespace tarnfold {

// An exclusive advisory lock on a file for the length of a replacement, so
// that two replacements of the same file run one after the other instead of
// one silently undoing the other's result. The second waits for the first.
//
// A replacement renames a new file over the old one, so a lock taken
// on the old inode would guard nothing: after locking, the lock checks that
// the path still names the locked inode and starts over if it does not.
// Each platform has its file (FileLock_posix.cpp: flock; FileLock_win32.cpp:
// LockFileEx).
class FileLock {
public:
    // `onWait` is called once when another process holds the lock and this
    // one is about to wait for it.
    explicit FileLock(const std::filesystem::path& path, const std::function<void()>& onWait = {});
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    intptr_t handle_ = -1;  // a file descriptor, or a Windows HANDLE
};

}  // namespace tarnfold
