#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tarnfold {

// Paths travel through Tarnfold as UTF-8 text (arguments, messages, JSON)
// and become native paths only where a file is opened. The char8_t forms
// say so to the standard library: on Windows a plain std::string would be
// read in the system's code page, and a name such as "Ünïcode" would change
// or fail on the way.
inline std::filesystem::path PathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string Utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace tarnfold
