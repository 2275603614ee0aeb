#include "runtime/AtomicFile.h"

#include <algorithm>
#include <random>
#include <string>
#include <utility>

#include "runtime/Error.h"
#include "runtime/Interrupt.h"
#include "runtime/TemporaryName.h"
#include "runtime/Utf8Path.h"
#include "runtime/Win32.h"

namespace tarnfold {

namespace {

// Six characters in place of mkstemp's XXXXXX.
std::string RandomSuffix() {
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static std::mt19937 random{std::random_device{}()};
    std::string suffix(6, 'X');
    for (char& c : suffix) c = kLetters[random() % (sizeof kLetters - 1)];
    return suffix;
}

}  // namespace

AtomicFile::AtomicFile(const std::filesystem::path& target, std::string noun, Mode mode)
    : target_(target), noun_(std::move(noun)) {
    const std::wstring wideTarget = win32::Wide(target_);
    const DWORD attributes = ::GetFileAttributesW(wideTarget.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = ::GetLastError();
        const bool missing = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
        if (!missing || mode != Mode::CreateOrReplace)
            throw Error("cannot open '" + Utf8(target_) + "': " + win32::Reason(code));
        existed_ = false;
    } else {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) throw Error("'" + Utf8(target_) + "' is not a regular file");
        if (attributes & FILE_ATTRIBUTE_READONLY)
            throw Error("the " + noun_ + " '" + Utf8(target_) + "' is read-only; nothing was written");
        // Asked now rather than at the rename: whether this user may write
        // the file, and whether another program (the game) holds it open
        // without leave to replace it.
        const HANDLE probe = ::CreateFileW(wideTarget.c_str(), GENERIC_WRITE | DELETE, win32::kShareAll, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (probe == INVALID_HANDLE_VALUE)
            throw Error("the " + noun_ + " '" + Utf8(target_) + "' may not be written (" +
                        win32::Reason(::GetLastError()) + "); nothing was written");
        ::CloseHandle(probe);
    }

    const auto folder = target_.parent_path();
    const std::string prefix = TemporaryPrefix(target_);
    for (int attempt = 0;; ++attempt) {
        // An interrupt between creating the file and registering it would
        // leave it behind.
        interrupt::Guard guard;
        const std::filesystem::path candidate = folder / PathFromUtf8(prefix + RandomSuffix());
        // Leave to delete, so that an interrupt can remove it while it is open.
        const HANDLE file = ::CreateFileW(win32::Wide(candidate).c_str(), GENERIC_READ | GENERIC_WRITE,
                                          win32::kShareAll, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            const DWORD code = ::GetLastError();
            if (code == ERROR_FILE_EXISTS && attempt < 100) continue;
            throw Error("cannot create a temporary file in '" + Utf8(folder) + "': " + win32::Reason(code) +
                        "; the " + noun_ + " was not changed");
        }
        handle_ = reinterpret_cast<intptr_t>(file);
        temporary_ = candidate;
        interrupt::RegisterTemporary(temporary_);
        return;
    }
}

void AtomicFile::Discard() {
    interrupt::Guard guard;
    if (handle_ != -1) ::CloseHandle(win32::Handle(handle_));
    handle_ = -1;
    if (!temporary_.empty()) ::DeleteFileW(temporary_.wstring().c_str());
    interrupt::ForgetTemporary();
}

// Windows has no early writeback to start: Flush() writes everything.
void AtomicFile::StartWriteback() {}

// Windows offers no copy between files that a compile could use here (block
// cloning exists on ReFS only): the caller streams the head itself.
int64_t AtomicFile::CopyFrom(const std::filesystem::path&, int64_t, int64_t) { return 0; }

Error AtomicFile::WriteFailed(int64_t reason) const {
    return Error("cannot write the new " + noun_ + " next to '" + Utf8(target_) + "': " +
                 win32::Reason(static_cast<DWORD>(reason)) + "; the " + noun_ + " was not changed");
}

void AtomicFile::WriteAt(int64_t offset, const uint8_t* data, size_t count) {
    while (count > 0) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD wrote = 0;
        const auto ask = static_cast<DWORD>(std::min<size_t>(count, size_t{1} << 30));
        if (!::WriteFile(win32::Handle(handle_), data, ask, &wrote, &at)) throw WriteFailed(::GetLastError());
        data += wrote;
        count -= wrote;
        offset += wrote;
    }
}

void AtomicFile::Flush() {
    const HANDLE file = win32::Handle(handle_);
    if (!::FlushFileBuffers(file))
        throw Error("cannot flush the new " + noun_ + " to disk: " + win32::Reason(::GetLastError()) + "; the " +
                    noun_ + " was not changed");
    handle_ = -1;
    if (!::CloseHandle(file))
        throw Error("cannot close the new " + noun_ + ": " + win32::Reason(::GetLastError()) + "; the " + noun_ +
                    " was not changed");
    flushed_ = true;
}

// ReplaceFileW rather than a rename: the map keeps its attributes and
// permissions, and it may replace a file that others (the compile's own
// lock and reads among them) hold open with leave to delete, which
// MoveFileExW refuses.
void AtomicFile::Commit(const std::function<void()>& afterRename) {
    if (!flushed_) Flush();
    {
        // The replacement and the note that it happened are one step for an
        // interrupt: after it, the work is done and the program finishes.
        interrupt::Guard guard;
        const std::wstring target = win32::Wide(target_), temporary = win32::Wide(temporary_);
        const BOOL replaced =
            existed_ ? ::ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                      nullptr, nullptr)
                     : ::MoveFileExW(temporary.c_str(), target.c_str(),
                                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        if (!replaced)
            throw Error("cannot replace '" + Utf8(target_) + "': " + win32::Reason(::GetLastError()) + "; the " +
                        noun_ + " was not changed");
        committed_ = true;
        interrupt::Replaced();
    }
    if (afterRename) afterRename();
}

}  // namespace tarnfold
