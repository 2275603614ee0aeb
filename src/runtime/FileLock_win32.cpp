#include "runtime/FileLock.h"

#include <string>

#include "runtime/Error.h"
#include "runtime/Utf8Path.h"
#include "runtime/Win32.h"

namespace tarnfold {

namespace {

// Windows locks are mandatory: a locked byte cannot be read through any
// other handle, the compile's own included. So the lock is on one byte far
// past the end of any map (maps are under 2 GiB), which no read touches.
OVERLAPPED LockedByte() {
    OVERLAPPED at{};
    at.OffsetHigh = 0x7FFFFFFF;
    return at;
}

bool SameFile(HANDLE locked, const std::wstring& path) {
    const HANDLE current = ::CreateFileW(path.c_str(), 0, win32::kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
    if (current == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION a{}, b{};
    const bool same = ::GetFileInformationByHandle(locked, &a) && ::GetFileInformationByHandle(current, &b) &&
                      a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
                      a.nFileIndexLow == b.nFileIndexLow;
    ::CloseHandle(current);
    return same;
}

}  // namespace

FileLock::FileLock(const std::filesystem::path& path, const std::function<void()>& onWait) {
    const std::wstring wide = win32::Wide(path);
    bool told = false;
    for (;;) {
        // Leave to delete: the compile that holds the lock replaces the file.
        const HANDLE file = ::CreateFileW(wide.c_str(), GENERIC_READ, win32::kShareAll, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            throw Error("cannot open '" + Utf8(path) + "': " + win32::Reason(::GetLastError()));
        OVERLAPPED at = LockedByte();
        if (!::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
            if (onWait && !told) {
                onWait();
                told = true;
            }
            at = LockedByte();
            if (!::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at)) {
                const DWORD code = ::GetLastError();
                ::CloseHandle(file);
                throw Error("cannot lock '" + Utf8(path) + "': " + win32::Reason(code));
            }
        }
        if (SameFile(file, wide)) {
            handle_ = reinterpret_cast<intptr_t>(file);
            return;
        }
        ::CloseHandle(file);  // replaced while we waited: lock the new file instead
    }
}

FileLock::~FileLock() {
    if (handle_ != -1) ::CloseHandle(win32::Handle(handle_));
}

}  // namespace tarnfold
