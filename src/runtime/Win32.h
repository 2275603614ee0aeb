#pragma once

// What the Windows files of runtime/ share. Windows only.

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <string>

namespace tarnfold::win32 {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// `path`, made absolute, as the wide string the W calls take. Throws an
// Error that says so when it is longer than Windows programs may open.
std::wstring Wide(const std::filesystem::path& path);

// What GetLastError()'s `code` means, in UTF-8, for a message.
std::string Reason(DWORD code);

inline HANDLE Handle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace tarnfold::win32
