// Kills a compile with SIGKILL: after every chunk the writer writes (a 40 MiB
// map, and one with raw data before its tag index), and at moments spread
// over a whole recompile of the 40 MiB map. The map is always
// the map before or the map after, byte for byte. A killed compile leaves its
// temporary file behind, hidden and named ".<map>.tarnfold-XXXXXX", and the
// next compile of that map removes it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "Child.h"
#include "ExpectedMap.h"
#include "compiler/Internal.h"
#include "map/MapRewrite.h"
#include "runtime/AtomicFile.h"

namespace tarnfold::robustness {
namespace {

using namespace testing;

class CrashConsistency : public ::testing::Test {
protected:
    // Compiles `document` in a child that pauses after chunk `pauseAfter` and says so.
    std::unique_ptr<Child> Compile(const std::string& document, int pauseAfter = 0) {
        return std::make_unique<Child>([=, this](int pipe) {
            WriteHooks hooks;
            hooks.afterChunk = [&](int chunk) {
                if (chunk != pauseAfter) return;
                Child::Say(pipe, "paused");
                ::pause();
            };
            CompileOptions options;
            options.replaceForeign = true;  // for the map the kit compiled
            CompileDocument(path_, document, options, hooks);
        });
    }

    const SyntheticMap map_ = BuildSyntheticMap({.tailWords = 10 << 20});  // 40 MiB: ten chunks and more
    const Bytes compiled_ = ExpectedMap(map_.bytes, Built(Intro()));
    TempFolder folder_;
    const std::filesystem::path path_ = folder_ / "m.map";
};

// After each chunk: of a map whose scenario comes first, so that the whole
// of it is streamed, of one laid out as real ones are, whose raw data the
// kernel copies in steps first, each a chunk, and of one whose scripts the
// official kit compiled.
TEST_F(CrashConsistency, KilledAfterAnyChunkTheMapIsTheOriginal) {
    const auto realLayout = SyntheticMapOptions{
        .tailWords = 1 << 20, .rawDataSize = int32_t(2 * MapRewrite::kHeadStep + (1 << 20))};
    const auto kitLayout = SyntheticMapOptions{.tailWords = 3 << 20, .kit = {{"a", "b"}, {"g"}}};
    for (const auto& [options, atLeast] : {std::pair{SyntheticMapOptions{.tailWords = 10 << 20}, 12},
                                           std::pair{realLayout, 4}, std::pair{kitLayout, 3}}) {
        const SyntheticMap map = BuildSyntheticMap(options);
        const Bytes compiled = ExpectedMap(map.bytes, Built(Intro()));
        map.Save(path_);
        int killed = 0;
        for (int chunk = 1;; ++chunk) {
            auto child = Compile(Intro(), chunk);
            if (const std::string said = child->Next(); said != "paused") {
                // Past the last chunk the compile runs through and clears away what the killed ones left.
                ASSERT_EQ(said, "ok");
                EXPECT_TRUE(ReadFileBytes(path_) == compiled);
                EXPECT_EQ(folder_.Others(), std::vector<std::string>{"m.map"});
                break;
            }
            child->Kill();
            ++killed;
            ASSERT_TRUE(ReadFileBytes(path_) == map.bytes) << "killed after chunk " << chunk;
            // One leftover: each compile first removes those of the killed ones before it.
            const auto others = folder_.Others("m.map");
            ASSERT_EQ(others.size(), 1u);
            EXPECT_TRUE(others[0].size() == 22 && others[0].starts_with(".m.map.tarnfold-")) << others[0];
        }
        EXPECT_GE(killed, atLeast);
        std::printf("killed after each of %d chunks: 0 corrupted maps\n", killed);
    }
}

// Ctrl+C at a moment of the compile, as the command line handles it: before
// the rename the temporary file goes and the process ends with 130, the map
// as it was; after the rename the compile is done, and it finishes and
// reports as if nothing had come. (The hook raises the signal, so it lands
// exactly there.)
TEST(Interrupt, CtrlCBeforeTheRenameInterruptsAndAfterItLetsTheCompileFinish) {
    const SyntheticMap map = BuildSyntheticMap();  // one chunk
    TempFolder folder;
    const auto path = folder / "m.map";
    for (const bool afterRename : {false, true}) {
        SCOPED_TRACE(afterRename ? "after the rename" : "after the first chunk");
        map.Save(path);
        Child child([&](int) {
            RemoveTemporaryOnInterrupt();
            WriteHooks hooks;
            if (afterRename)
                hooks.afterRename = [] { ::raise(SIGINT); };
            else
                hooks.afterChunk = [](int chunk) {
                    if (chunk == 1) ::raise(SIGINT);
                };
            CompileDocument(path, Intro(), {}, hooks);
        });
        EXPECT_EQ(child.Next(), afterRename ? "ok" : "");
        EXPECT_EQ(child.Status(), afterRename ? 0 : 130);
        EXPECT_TRUE(ReadFileBytes(path) ==
                    (afterRename ? ExpectedMap(map.bytes, Built(Intro())) : map.bytes));
        EXPECT_EQ(folder.Others(), std::vector<std::string>{"m.map"});
    }
}

// Moments one eighth of an uninterrupted recompile apart, until it has
// finished before the kill three times in a row: across the writing, the
// flush, the rename and the exit.
TEST_F(CrashConsistency, KilledAtAnyMomentARecompileLeavesTheOldOrTheNewMap) {
    const std::string other = R"(<s><o NameAttr="other"><ScriptValue ValueType="8" Value="1"/></o></s>)";
    const Bytes recompiled = ExpectedMap(compiled_, Built(other));
    WriteFile(path_, compiled_);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(Compile(other)->Next(), "ok");
    const auto duration = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(ReadFileBytes(path_) == recompiled);

    int before = 0, after = 0, moments = 0;
    for (int finishedInARow = 0; finishedInARow < 3 && moments < 100; ++moments) {
        WriteFile(path_, compiled_);
        auto child = Compile(other);
        std::this_thread::sleep_for(duration * moments / 8);
        child->Kill();
        const Bytes bytes = ReadFileBytes(path_);
        before += bytes == compiled_;
        after += bytes == recompiled;
        finishedInARow = bytes == recompiled ? finishedInARow + 1 : 0;
        ASSERT_TRUE(bytes == compiled_ || bytes == recompiled) << "killed at moment " << moments;
    }
    EXPECT_GT(before, 0);
    EXPECT_GT(after, 0);
    std::printf("killed at %d moments: %d old, %d new, 0 corrupted maps\n", moments, before, after);
}

}  // namespace
}  // namespace tarnfold::robustness
