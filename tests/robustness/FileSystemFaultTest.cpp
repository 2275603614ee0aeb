// The file system says no: a read-only folder or map, a map of another user,
// a full disk, a symbolic link, paths that are no map, and two compiles of
// one map at once. Each fault is a clear error with the map byte-identical
// and no temporary file left behind.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fcntl.h>
#include <atomic>
#include <thread>

#include "CliProcess.h"
#include "SyntheticMap.h"
#include "map/HaloPcMap.h"

namespace tarnfold::robustness {
namespace {

using ::testing::HasSubstr;
using testing::ReadFileBytes;
using testing::TempFolder;

class FileSystemFault : public ::testing::Test {
protected:
    void SetUp() override {
        map_.Save(path_);
        Document("intro.xml", "intro");
    }

    // A one-script document whose script carries `name`.
    std::filesystem::path Document(const std::string& file, const std::string& name) {
        const std::string text = "<s><x NameAttr=\"" + name + "\"><ScriptValue ValueType=\"8\" Value=\"1\"/></x></s>";
        testing::WriteFile(documents_ / file, text.data(), text.size());
        return documents_ / file;
    }

    CliResult Compile(const std::filesystem::path& map, const CliOptions& options = {}) {
        return RunCli({"compile", map, documents_ / "intro.xml"}, options);
    }

    // The map as it was compiled without any fault.
    std::vector<uint8_t> Compiled(const std::string& document) {
        TempFolder clean;
        map_.Save(clean / "m.map");
        EXPECT_EQ(RunCli({"compile", clean / "m.map", documents_ / document}).exitCode, 0);
        return ReadFileBytes(clean / "m.map");
    }

    const testing::SyntheticMap map_ = testing::BuildSyntheticMap();
    TempFolder documents_;
    TempFolder folder_;
    const std::filesystem::path path_ = folder_ / "m.map";
};

// Each fault is a clear error, with the map byte-identical and no file left.
TEST_F(FileSystemFault, RefusedWithTheMapIntact) {
    using std::filesystem::perms;
    const struct {
        const char* name;
        perms folder, map;
        CliOptions options;
        std::string message;
        bool asAnotherUser = false;
    } faults[] = {
        {"read-only folder", perms(0555), perms::all, {.user = UnprivilegedUser()},
         "cannot create a temporary file in '" + folder_.Path().string() + "': Permission denied"},
        {"read-only map", perms::all, perms(0444), {}, "is read-only; nothing was written"},
        // Anyone may rename over the map, but its owner alone may write it:
        // replacing it would hand another user's map to this one.
        {"map of another user", perms::all, perms(0644), {.user = UnprivilegedUser()},
         "may not be written (Permission denied)", true},
        {"full disk", perms::all, perms(0644), {.fileSizeLimit = static_cast<long long>(map_.bytes.size() / 2)},
         "File too large; the map was not changed"},
    };
    for (const auto& fault : faults) {
        if (fault.asAnotherUser && !UnprivilegedUser()) continue;  // needs root
        SCOPED_TRACE(fault.name);
        std::filesystem::permissions(path_, fault.map);
        std::filesystem::permissions(folder_.Path(), fault.folder);
        const CliResult result = Compile(path_, fault.options);
        std::filesystem::permissions(folder_.Path(), perms::all);
        std::filesystem::permissions(path_, perms(0644));
        if (result.exitCode == 126 || result.exitCode == 127) continue;  // cannot run the tool as another user
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_THAT(result.err, HasSubstr("tarnfold-cli: error: "));
        EXPECT_THAT(result.err, HasSubstr(fault.message));
        EXPECT_TRUE(ReadFileBytes(path_) == map_.bytes);
        EXPECT_THAT(folder_.Others("m.map"), ::testing::IsEmpty());
    }
}

// The new map goes into a temporary file renamed over the old one: the old
// file's inode (here a hard link) is never written, a symbolic link stays a
// link to the replaced map, and the map keeps its mode and, compiled by root,
// its owner.
TEST_F(FileSystemFault, ReplacingKeepsLinksModeAndOwner) {
    if (const auto user = UnprivilegedUser()) {
        ASSERT_EQ(::chown(path_.c_str(), *user, *user), 0);
    }
    const uid_t owner = UnprivilegedUser().value_or(::geteuid());
    std::filesystem::permissions(path_, std::filesystem::perms(0640));
    std::filesystem::create_hard_link(path_, folder_ / "old.map");
    std::filesystem::create_symlink("m.map", folder_ / "link.map");
    ASSERT_EQ(Compile(folder_ / "link.map").exitCode, 0);
    EXPECT_TRUE(ReadFileBytes(folder_ / "old.map") == map_.bytes);
    EXPECT_TRUE(ReadFileBytes(path_) == Compiled("intro.xml"));
    EXPECT_TRUE(std::filesystem::is_symlink(folder_ / "link.map"));
    struct stat st {};
    ASSERT_EQ(::stat(path_.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, owner);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(folder_.Others(), (std::vector<std::string>{"link.map", "m.map", "old.map"}));
}

TEST_F(FileSystemFault, PathsThatAreNoMap) {
    std::filesystem::create_directory(folder_ / "folder.map");
    ASSERT_EQ(::mkfifo((folder_ / "fifo.map").c_str(), 0644), 0);
    std::filesystem::create_symlink(folder_ / "loop.map", folder_ / "loop.map");
    std::filesystem::create_symlink(folder_ / "gone.map", folder_ / "dangling.map");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"compile", folder_ / "folder.map", documents_ / "intro.xml"}, "it is a folder, not a map file"},
        {{"compile", folder_ / "missing.map", documents_ / "intro.xml"}, "no such file"},
        {{"compile", folder_ / "fifo.map", documents_ / "intro.xml"}, "it is not a regular file"},  // was a hang
        {{"compile", folder_ / "loop.map", documents_ / "intro.xml"}, "Too many levels of symbolic links"},
        {{"compile", folder_ / "dangling.map", documents_ / "intro.xml"}, "no such file"},
        {{"compile", path_, documents_.Path()}, "the script document '" + documents_.Path().string() + "': it is a folder"},
    };
    for (const auto& [arguments, message] : cases) {
        CliProcess cli(arguments);
        ASSERT_TRUE(cli.WaitFor("", std::chrono::seconds(30))) << arguments[1] << " hangs";
        const CliResult result = cli.Wait();
        EXPECT_EQ(result.exitCode, 1) << arguments[1];
        EXPECT_THAT(result.err, HasSubstr(message));
    }
    EXPECT_TRUE(ReadFileBytes(path_) == map_.bytes);
}

// While a compile holds the map's lock, two more start: both wait. Then one
// compiles and the other, finding the map compiled, refuses: neither result
// is silently lost.
TEST_F(FileSystemFault, TwoCompilesAtOnceWaitAndTheSecondRefuses) {
    Document("bravo.xml", "bravo");
    // Close-on-exec, or the tools started below would inherit the lock itself.
    const int lock = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    CliProcess first({"compile", path_, documents_ / "intro.xml"});
    CliProcess second({"compile", path_, documents_ / "bravo.xml"});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(first.Running() && second.Running());
    ::close(lock);

    const CliResult a = first.Wait();
    const CliResult b = second.Wait();
    ASSERT_EQ((a.exitCode == 0) + (b.exitCode == 0), 1) << a.err << b.err;
    const CliResult& refused = a.exitCode == 0 ? b : a;
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_THAT(refused.err, HasSubstr("already holds compiled scripts"));
    EXPECT_TRUE(ReadFileBytes(path_) == Compiled(a.exitCode == 0 ? "intro.xml" : "bravo.xml"));
    EXPECT_THAT(folder_.Others("m.map"), ::testing::IsEmpty());
}

// The relocation alone replaces the map too, and waits for the lock like a
// compile: a compile clearing away stale temporary files never takes its.
TEST_F(FileSystemFault, RelocationWaitsForTheLock) {
    const int lock = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    HaloPcMap map;
    map.LoadMap(path_);
    std::atomic<bool> done = false;
    std::thread relocation([&] {
        map.UpdateFromPoint(map.TagCache[1].Offset, map_.tail, 8);
        done = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(done);
    ::close(lock);
    relocation.join();
    EXPECT_TRUE(done);
}

}  // namespace
}  // namespace tarnfold::robustness
