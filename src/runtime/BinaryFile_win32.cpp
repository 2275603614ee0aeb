#include <algorithm>

#include "runtime/BinaryFile.h"
#include "runtime/Error.h"
#include "runtime/Utf8Path.h"
#include "runtime/Win32.h"

namespace tarnfold {

// Open with leave to delete: a compile replaces the map while it still
// reads it, and Windows refuses to replace a file open without it.
void BinaryFile::Open() {
    const HANDLE file = ::CreateFileW(win32::Wide(path_).c_str(), GENERIC_READ, win32::kShareAll, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw Error("cannot open '" + Utf8(path_) + "': " + win32::Reason(::GetLastError()));
    handle_ = reinterpret_cast<intptr_t>(file);
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size)) {
        Close();
        throw Error("cannot read '" + Utf8(path_) + "': its length is unknown");
    }
    length_ = size.QuadPart;
}

size_t BinaryFile::ReadSome(int64_t offset, void* out, size_t count) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    const auto ask = static_cast<DWORD>(std::min<size_t>(count, size_t{1} << 30));
    return ::ReadFile(win32::Handle(handle_), out, ask, &got, &at) ? got : 0;
}

void BinaryFile::Close() {
    if (handle_ != -1) ::CloseHandle(win32::Handle(handle_));
    handle_ = -1;
}

}  // namespace tarnfold
