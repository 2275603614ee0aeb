// Kills tarnfold-cli with SIGKILL in the middle of compiling a 40 MiB map:
// after every chunk the writer writes (the test hook pauses it there), and at
// moments spread over a whole compile. The map must always be byte-identical
// to the original or to the fully compiled map. A killed compile leaves its
// temporary file behind: hidden, named ".<map>.tarnfold-XXXXXX", never
// ending in ".map", and removed by the next compile of that map.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "CliProcess.h"
#include "SyntheticMap.h"

namespace tarnfold::robustness {
namespace {

using testing::TempFolder;

using testing::ReadFileBytes;

constexpr const char* kDocument = R"(<scripts><script NameAttr="intro" TypeAttr="1" ReTypeAttr="4">
  <ScriptCommand Command="alpha" EngineId="3" ValueType="4"><ScriptValue ValueType="7" Value="30"/></ScriptCommand>
</script></scripts>)";

class CrashConsistency : public ::testing::Test {
protected:
    void SetUp() override {
        map_ = testing::BuildSyntheticMap({.tailWords = 10 << 20});  // 40 MiB: ten chunks and more
        testing::WriteFile(documents_ / "intro.xml", kDocument, std::strlen(kDocument));

        TempFolder reference;
        map_.Save(reference / "m.map");
        const auto start = std::chrono::steady_clock::now();
        ASSERT_EQ(Compile(reference / "m.map")->Wait().exitCode, 0);
        duration_ = std::chrono::steady_clock::now() - start;
        compiled_ = ReadFileBytes(reference / "m.map");
    }

    std::unique_ptr<CliProcess> Compile(const std::filesystem::path& path, std::vector<std::string> environment = {}) {
        return std::make_unique<CliProcess>(std::vector<std::string>{"compile", path, documents_ / "intro.xml"},
                                            CliOptions{.environment = std::move(environment)});
    }

    testing::SyntheticMap map_;
    std::vector<uint8_t> compiled_;
    std::chrono::steady_clock::duration duration_{};
    TempFolder documents_;
    TempFolder folder_;
};

TEST_F(CrashConsistency, KilledAfterAnyChunkTheMapIsTheOriginal) {
    const auto path = folder_ / "m.map";
    map_.Save(path);
    // Hidden, and never ending in ".map": no chooser or glob takes it for a map.
    const auto isLeftover = [](const std::string& name) {
        return name.size() == 22 && name.starts_with(".m.map.tarnfold-") && !name.ends_with(".map");
    };
    int killed = 0;
    for (int chunk = 1;; ++chunk) {
        auto cli = Compile(path, {"TARNFOLD_TEST_PAUSE_AFTER_CHUNKS=" + std::to_string(chunk)});
        if (!cli->WaitFor("paused")) {
            // Past the last chunk the compile runs through, and it clears
            // away what the killed ones left.
            const CliResult result = cli->Wait();
            ASSERT_EQ(result.exitCode, 0) << result.err;
            EXPECT_NE(result.err.find("removed 1 temporary file(s)"), std::string::npos) << result.err;
            EXPECT_TRUE(ReadFileBytes(path) == compiled_);
            EXPECT_TRUE(folder_.Others("m.map").empty());
            break;
        }
        cli->Kill();
        ++killed;
        ASSERT_TRUE(ReadFileBytes(path) == map_.bytes) << "killed after chunk " << chunk;
        // One leftover: each compile first removes those of the killed ones before it.
        const auto others = folder_.Others("m.map");
        ASSERT_EQ(others.size(), 1u);
        EXPECT_TRUE(isLeftover(others[0])) << others[0];
    }
    EXPECT_GE(killed, 12);
    std::printf("killed after each of %d chunks: 0 corrupted maps\n", killed);
}

// Moments one eighth of an uninterrupted compile apart, until the compile
// has finished before the kill three times in a row: across the writing, the
// flush, the rename and the exit.
TEST_F(CrashConsistency, KilledAtAnyMomentTheMapIsTheOriginalOrTheCompiledMap) {
    const auto path = folder_ / "m.map";
    int original = 0;
    int compiled = 0;
    int moments = 0;
    for (int finishedInARow = 0; finishedInARow < 3 && moments < 100; ++moments) {
        map_.Save(path);
        auto cli = Compile(path);
        std::this_thread::sleep_for(duration_ * moments / 8);
        cli->Kill();
        const auto bytes = ReadFileBytes(path);
        if (bytes == map_.bytes) {
            ++original;
            finishedInARow = 0;
        } else if (bytes == compiled_) {
            ++compiled;
            ++finishedInARow;
        } else {
            ADD_FAILURE() << "killed at moment " << moments << ": neither the original nor the compiled map";
        }
    }
    EXPECT_GT(original, 0);
    EXPECT_GT(compiled, 0);
    std::printf("killed at %d moments: %d original, %d compiled, 0 corrupted maps\n", moments, original, compiled);
}

}  // namespace
}  // namespace tarnfold::robustness
