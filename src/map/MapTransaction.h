#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "runtime/FileLock.h"

namespace tarnfold {

class BinaryFile;
struct MapRewrite;

// Optional callbacks into a replacement, for checks and tests.
struct WriteHooks {
    // After each chunk of the new map is written (crash tests stop here).
    std::function<void(int chunk)> afterChunk;
    // Once the new map is written and flushed, before it replaces the old
    // one: reads the temporary file and throws to abandon the replacement.
    std::function<void(const std::filesystem::path& newMap)> verify;
    // Once the new map has replaced the old one (a test pauses here and
    // sends the signal that must no longer count as an interrupt).
    std::function<void()> afterRename;
    // False streams the unchanged head through the process instead of
    // copying it inside the kernel (tests force each way).
    bool copyHead = true;
};

// Replacing a map, from start to end: resolve the path and take the map's
// lock, then (SweepStaleTemporaries) clear away temporary files left by
// killed compiles, then (Replace) write the new map next to the old one,
// flush it and rename it over the old one. The lock is held for the
// object's life, so whatever the caller reads of the map in between is what
// the replacement starts from.
class MapTransaction {
public:
    // `onWait` is called when another compile holds the map.
    explicit MapTransaction(const std::filesystem::path& map,
                            const std::function<void(const std::string&)>& onWait = {});

    // The map with symbolic links resolved: the file that is replaced.
    const std::filesystem::path& Path() const { return path_; }
    // Removes the temporary files of killed compiles; returns how many.
    int SweepStaleTemporaries();

    // Streams `rewrite` (its pieces read from `old`) into the new map and
    // makes it the map. Returns how many words the relocation rewrote. On any
    // error the map is untouched and no temporary file is left.
    int64_t Replace(const MapRewrite& rewrite, BinaryFile& old, const WriteHooks& hooks = {});

private:
    std::filesystem::path path_;
    FileLock lock_;
};

// The path whose inode a compile replaces: `path` with every symbolic link
// resolved. Throws an Error when it does not exist.
std::filesystem::path ResolveMapPath(const std::filesystem::path& path);

}  // namespace tarnfold
