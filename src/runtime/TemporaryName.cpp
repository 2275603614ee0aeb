#include "runtime/TemporaryName.h"

#include <cstdint>
#include <cstdio>
#include <system_error>

#include "runtime/AtomicFile.h"
#include "runtime/Utf8Path.h"

namespace tarnfold {

std::string TemporaryPrefix(const std::filesystem::path& target) {
    // A name as long as the file system allows leaves no room to add to it:
    // a long one is cut and made unique again by a hash of the whole.
    constexpr size_t kKept = 160;
    std::string name = Utf8(target.filename());
    if (name.size() > kKept + 40) {
        uint64_t hash = 14695981039346656037u;  // FNV-1a: the same on every run
        for (unsigned char c : name) hash = (hash ^ c) * 1099511628211u;
        char hex[17];
        std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
        size_t cut = kKept;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;  // whole characters
        name = name.substr(0, cut) + "-" + hex;
    }
    return "." + name + ".tarnfold-";
}

int RemoveStaleTemporaries(const std::filesystem::path& target) {
    const std::string prefix = TemporaryPrefix(target);
    int removed = 0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(target.parent_path(), ec)) {
        const std::string name = Utf8(entry.path().filename());
        if (name.size() == prefix.size() + 6 && name.starts_with(prefix) && entry.is_regular_file(ec) &&
            std::filesystem::remove(entry.path(), ec))
            ++removed;
    }
    return removed;
}

}  // namespace tarnfold
