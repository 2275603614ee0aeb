#pragma once

// What every suite shares: little-endian words in a byte vector, whole files
// in and out, a scratch folder on the real file system, the example document.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>

#include "SyntheticMap.h"
#include "runtime/Utf8Path.h"

namespace tarnfold::testing {

inline int16_t Half(const Bytes& b, int64_t at) {
    return int16_t(b.at(at) | b.at(at + 1) << 8);
}
inline uint32_t Word(const Bytes& b, int64_t at) {
    return uint16_t(Half(b, at)) | uint32_t(uint16_t(Half(b, at + 2))) << 16;
}
inline void PutHalf(Bytes& b, int64_t at, int value) {
    b.at(at) = uint8_t(value);
    b.at(at + 1) = uint8_t(value >> 8);
}
inline void PutWord(Bytes& b, int64_t at, uint32_t value) {
    PutHalf(b, at, int(value));
    PutHalf(b, at + 2, int(value >> 16));
}

inline Bytes ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}
inline void WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
}

// examples/intro.xml: the one example document of every suite.
inline const std::string& Intro() {
    static const std::string text = [] {
        const Bytes bytes = ReadFileBytes(TARNFOLD_SOURCE_DIR "/examples/intro.xml");
        return std::string(bytes.begin(), bytes.end());
    }();
    return text;
}

// The names in `folder` but `except`, sorted: what a compile left behind.
inline std::vector<std::string> Names(const std::filesystem::path& folder, const std::string& except = {}) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (Utf8(entry.path().filename()) != except) names.push_back(Utf8(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

// The first difference between two byte strings; empty when they are equal.
inline std::string Difference(const Bytes& actual, const Bytes& expected) {
    const auto [a, e] = std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    if (a == actual.end() && e == expected.end()) return {};
    std::string why = "lengths " + std::to_string(actual.size()) + " and " + std::to_string(expected.size());
    if (a != actual.end() && e != expected.end())
        why += ", first difference at offset " + std::to_string(a - actual.begin()) + ": " +
               std::to_string(*a) + " instead of " + std::to_string(*e);
    return why;
}

// A fresh folder (under TMPDIR, or `base`), open to every user so that tests
// can run a compile as another one, removed with everything in it afterwards.
class TempFolder {
public:
    explicit TempFolder(const std::filesystem::path& base = {}) {
        const auto root = base.empty() ? std::filesystem::temp_directory_path() : base;
        std::random_device random;
        for (int tries = 0;
             !std::filesystem::create_directory(path_ = root / ("tarnfold-" + std::to_string(random())));)
            if (++tries == 100) throw std::runtime_error("cannot create a folder in " + Utf8(root));
        std::filesystem::permissions(path_, std::filesystem::perms::all);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    std::vector<std::string> Others(const std::string& except = {}) const { return Names(path_, except); }

private:
    std::filesystem::path path_;
};

// `map` saved as "m.map" in `folder`.
inline std::filesystem::path Saved(const SyntheticMap& map, const TempFolder& folder) {
    map.Save(folder / "m.map");
    return folder / "m.map";
}

}  // namespace tarnfold::testing
