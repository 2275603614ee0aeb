#include "map/MapTransaction.h"

#include <string>

#include "map/HaloPcMap.h"
#include "map/MapRewrite.h"
#include "runtime/AtomicFile.h"
#include "runtime/BinaryFile.h"
#include "runtime/Error.h"
#include "runtime/Utf8Path.h"

namespace tarnfold {

std::filesystem::path ResolveMapPath(const std::filesystem::path& path) {
    std::error_code ec;
    auto resolved = std::filesystem::canonical(path, ec);
    if (ec) throw Error("cannot open '" + Utf8(path) + "': " + ec.message());
    return resolved;
}

MapTransaction::MapTransaction(const std::filesystem::path& map,
                               const std::function<void(const std::string&)>& onWait)
    : path_(ResolveMapPath(map)), lock_(path_, [&] {
          if (onWait) onWait("waiting for another compile of '" + Utf8(path_) + "' to finish");
      }) {}

int MapTransaction::SweepStaleTemporaries() { return RemoveStaleTemporaries(path_); }

int64_t MapTransaction::Replace(const MapRewrite& rewrite, BinaryFile& old, const WriteHooks& hooks) {
    if (rewrite.Length() > HaloPcMap::kMaxMapLength)
        throw Error("the compiled map would be " + std::to_string(rewrite.Length()) +
                    " bytes long; a map holds at most " + std::to_string(HaloPcMap::kMaxMapLength) +
                    " bytes, as its offsets are 32-bit");
    AtomicFile out(path_, "map");
    const int64_t relocated = rewrite.WriteTo(old, &out, hooks.afterChunk, hooks.copyHead);
    out.Flush();
    if (hooks.verify) hooks.verify(out.TemporaryPath());
    out.Commit(hooks.afterRename);
    return relocated;
}

}  // namespace tarnfold
