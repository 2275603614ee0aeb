#include "CompileCheck.h"

#include <unistd.h>

#include "ExpectedMap.h"
#include "compiler/Tarnfold.h"
#include "map/HaloPcMap.h"
#include "runtime/Error.h"

namespace tarnfold::fuzz {

namespace {

using testing::ReadFileBytes;

void Require(bool ok, const std::string& what) {
    if (!ok) throw InvariantBroken(what);
}

// One compile, held to the model when it succeeds and to "nothing changed"
// when it is refused.
Outcome Check(const std::filesystem::path& path, std::string_view document) {
    const Bytes before = ReadFileBytes(path);
    const auto files = testing::Names(path.parent_path());
    Outcome outcome;
    std::vector<Tag> tags;  // for the IDs tag constants hold
    try {
        HaloPcMap map;
        map.LoadMap(path);
        tags = map.TagCache;
        CompileDocument(path, document);
        outcome.compiled = true;
    } catch (const Error& e) {
        outcome.refusal = e.what();
    }
    Require(testing::Names(path.parent_path()) == files, "a file was left behind: " + outcome.refusal);
    const Bytes after = ReadFileBytes(path);
    if (!outcome.compiled) {
        Require(!outcome.refusal.empty(), "a refusal without a message");
        Require(after == before, "refused, but the map changed: " + outcome.refusal);
        return outcome;
    }
    const std::string difference =
        testing::Difference(after, testing::ExpectedMap(before, testing::Built(document, &tags)));
    Require(difference.empty(), "the compiled map is not the expected map: " + difference);
    return outcome;
}

}  // namespace

const std::filesystem::path& ScratchFolder() {
    static const testing::TempFolder folder(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "");
    return folder.Path();
}

Outcome CompileAndCheck(const std::filesystem::path& mapPath, std::string_view document) {
    const Outcome outcome = Check(mapPath, document);
    if (!outcome.compiled) return outcome;
    const Bytes compiled = ReadFileBytes(mapPath);
    Require(Check(mapPath, document).compiled, "the same document compiled again was refused");
    Require(ReadFileBytes(mapPath) == compiled, "the same document compiled again changed the map");
    Require(Check(mapPath, testing::Intro()).compiled,
            "the example compiled into the compiled map was refused");
    return outcome;
}

}  // namespace tarnfold::fuzz
