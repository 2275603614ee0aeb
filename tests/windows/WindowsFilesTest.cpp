// What only the Windows build meets: a map marked read-only, a map the game
// holds open, a path longer than Windows programs open, and a map in a
// folder whose name is not ASCII. A refusal leaves the map byte for byte as
// it was and no file behind; the other compiles give the expected map.
#include <gmock/gmock.h>
#include <windows.h>

#include <functional>

#include "ExpectedMap.h"
#include "compiler/Tarnfold.h"
#include "runtime/Error.h"

namespace tarnfold::testing {
namespace {

using ::testing::HasSubstr;

std::string CompileMessage(const std::filesystem::path& map) {
    try {
        CompileDocument(map, Intro());
        return "ok";
    } catch (const Error& e) {
        return e.what();
    }
}

TEST(WindowsFiles, RefusedWithTheMapIntact) {
    const SyntheticMap map = BuildSyntheticMap();
    TempFolder folder;
    const auto shortPath = folder / "m.map";
    const auto longPath = folder / (std::string(240, 'm') + ".map");
    HANDLE game = INVALID_HANDLE_VALUE;
    const struct {
        const char* name;
        std::filesystem::path path;
        std::function<void()> setUp, tearDown;
        std::string message;
    } faults[] = {
        {"read-only map", shortPath,
         [&] { ::SetFileAttributesW(shortPath.c_str(), FILE_ATTRIBUTE_READONLY); },
         [&] { ::SetFileAttributesW(shortPath.c_str(), FILE_ATTRIBUTE_NORMAL); },
         "is read-only; nothing was written"},
        // The game opens a map for reading and lets others read it, no more.
        {"map open in the game", shortPath,
         [&] {
             game = ::CreateFileW(shortPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                  nullptr);
         },
         [&] { ::CloseHandle(game); }, "open in another program (the game, or an editor?)"},
        {"path too long", longPath, {}, {}, "and Windows programs open paths of at most 259"},
    };
    for (const auto& fault : faults) {
        SCOPED_TRACE(fault.name);
        // The long path is written by Wine's Linux side (Windows would refuse it).
        map.Save(fault.path);
        if (fault.setUp) fault.setUp();
        const std::string said = CompileMessage(fault.path);
        if (fault.tearDown) fault.tearDown();
        EXPECT_THAT(said, HasSubstr(fault.message));
        EXPECT_TRUE(ReadFileBytes(fault.path) == map.bytes);
        EXPECT_EQ(folder.Others(), std::vector<std::string>{Utf8(fault.path.filename())});
        std::filesystem::remove(fault.path);
    }
}

// Another compile holds the map's lock (its byte far past the end): this
// one says it waits, and compiles once the lock is free.
TEST(WindowsFiles, ACompileWaitsForTheLock) {
    const SyntheticMap map = BuildSyntheticMap();
    TempFolder folder;
    const auto path = folder / "m.map";
    map.Save(path);
    const HANDLE other =
        ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, 0, nullptr);
    OVERLAPPED lockedByte{};
    lockedByte.OffsetHigh = 0x7FFFFFFF;
    ASSERT_TRUE(::LockFileEx(other, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &lockedByte));
    std::string said;
    CompileOptions options;
    options.onWait = [&](const std::string& note) { said = note, ::CloseHandle(other); };
    CompileDocument(path, Intro(), options);
    EXPECT_THAT(said, HasSubstr("waiting for another compile"));
    EXPECT_TRUE(ReadFileBytes(path) == ExpectedMap(map.bytes, Built(Intro())));
}

TEST(WindowsFiles, AMapInAFolderNamedInUnicodeCompiles) {
    const SyntheticMap map = BuildSyntheticMap();
    TempFolder folder;
    const auto maps = folder.Path() / PathFromUtf8("Ünïcode ✓") / "Halo" / "maps";
    std::filesystem::create_directories(maps);
    map.Save(maps / "m.map");
    ASSERT_EQ(CompileMessage(maps / "m.map"), "ok");
    EXPECT_TRUE(ReadFileBytes(maps / "m.map") == ExpectedMap(map.bytes, Built(Intro())));
    EXPECT_EQ(Names(maps), std::vector<std::string>{"m.map"});
}

}  // namespace
}  // namespace tarnfold::testing
