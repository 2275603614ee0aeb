#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace tarnfold::robustness {

// A fresh folder for one test on the real file system (where renames, locks
// and permissions behave as they do for a modder), removed afterwards.
class TempFolder {
public:
    TempFolder() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/tarnfold-test-XXXXXX";
        path_ = ::mkdtemp(pattern.data());
        std::filesystem::permissions(path_, std::filesystem::perms::all);  // open to an unprivileged user
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

    // Every name in the folder but `except`: what a compile left behind.
    std::vector<std::string> Others(const std::string& except) const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_))
            if (entry.path().filename() != except) names.push_back(entry.path().filename());
        return names;
    }

private:
    std::filesystem::path path_;
};

inline void PutWord(std::vector<uint8_t>& bytes, int64_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.at(static_cast<size_t>(offset + i)) = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace tarnfold::robustness
