#include "runtime/System.h"

#include "runtime/Win32.h"  // windows.h, which shellapi.h needs first

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>

#include "runtime/Error.h"
#include "runtime/Utf8Path.h"

namespace tarnfold {

namespace {

std::string ToUtf8(const wchar_t* text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size - 1 : 0, '\0');
    if (size > 1) ::WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    return out;
}

// MAX_PATH counts the ending zero.
constexpr size_t kLongestPath = MAX_PATH - 1;

}  // namespace

// The arguments main() gets are in the system's code page, which cannot
// hold every name; the wide command line can.
std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!wide) return {argv, argv + argc};
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(ToUtf8(wide[i]));
    ::LocalFree(wide);
    return arguments;
}

void UseUtf8Console() {
    ::SetConsoleOutputCP(CP_UTF8);
    // Text mode would end standard input at a byte 26 and drop the CR of CRLF.
    ::_setmode(::_fileno(stdin), _O_BINARY);
}

void CheckPathLength(const std::filesystem::path& path) { win32::Wide(path); }

namespace win32 {

std::wstring Wide(const std::filesystem::path& path) {
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(path, ec);
    std::wstring wide = (ec ? path : full).wstring();
    if (wide.size() > kLongestPath)
        throw Error("'" + Utf8(path) + "' is " + std::to_string(wide.size()) +
                    " characters long as a full path, and Windows programs open paths of at most " +
                    std::to_string(kLongestPath) + ": move it into a folder with a shorter path");
    return wide;
}

std::string Reason(DWORD code) {
    // The game keeps a map open while it plays it, and so may an editor.
    if (code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION || code == ERROR_UNABLE_TO_REMOVE_REPLACED)
        return "it is open in another program (the game, or an editor?): close it there and try again";
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string reason = length > 0 ? ToUtf8(text) : "Windows error " + std::to_string(code);
    if (text) ::LocalFree(text);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == '.'))
        reason.pop_back();
    return reason;
}

}  // namespace win32

}  // namespace tarnfold
