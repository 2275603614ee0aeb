// The file system says no: a read-only folder or map, a map of another user,
// a full disk, paths that are no map, and two compiles of one map at once.
// Each fault is a clear error with the map byte-identical and no temporary
// file left behind; links, mode and owner survive the replacement.
#include <gmock/gmock.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <fcntl.h>
#include <thread>

#include "Child.h"
#include "ExpectedMap.h"
#include "compiler/Tarnfold.h"

namespace tarnfold::robustness {
namespace {

using ::testing::HasSubstr;
using namespace testing;

// Root ignores file permissions: tests that need one to bite run the compile
// as "nobody" when they run as root.
constexpr uid_t kNobody = 65534;
void AsNobody() {
    if (::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
        throw std::runtime_error("cannot run as nobody");
}

class FileSystemFault : public ::testing::Test {
protected:
    void SetUp() override { map_.Save(path_); }

    // What a compile of the example into `map` says, run in a child that
    // first calls `setup`.
    static std::string Compile(const std::filesystem::path& map, const std::function<void()>& setup = {}) {
        Child child([&](int) {
            if (setup) setup();
            CompileDocument(map, Intro());
        });
        return child.Next(30000);
    }

    const SyntheticMap map_ = BuildSyntheticMap();
    TempFolder folder_;
    const std::filesystem::path path_ = folder_ / "m.map";
};

TEST_F(FileSystemFault, RefusedWithTheMapIntact) {
    using std::filesystem::perms;
    const auto fullDisk = [size = map_.bytes.size() / 2] {
        ::signal(SIGXFSZ, SIG_IGN);  // so a write past the limit fails with EFBIG, as on a full disk
        const rlimit limit{size, size};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    };
    const struct {
        const char* name;
        perms folder, map;
        std::function<void()> setup;
        std::string message;
        bool asAnotherUser = false;
    } faults[] = {
        {"read-only folder", perms(0555), perms::all, AsNobody,
         "cannot create a temporary file in '" + folder_.Path().string() + "': Permission denied"},
        {"read-only map", perms::all, perms(0444), {}, "is read-only; nothing was written"},
        // Anyone may rename over the map, but its owner alone may write it:
        // replacing it would hand another user's map to this one.
        {"map of another user", perms::all, perms(0644), AsNobody, "may not be written (Permission denied)",
         true},
        {"full disk", perms::all, perms(0644), fullDisk, "File too large; the map was not changed"},
    };
    for (const auto& fault : faults) {
        if (fault.asAnotherUser && ::geteuid() != 0) continue;
        SCOPED_TRACE(fault.name);
        std::filesystem::permissions(path_, fault.map);
        std::filesystem::permissions(folder_.Path(), fault.folder);
        const std::string said = Compile(path_, fault.setup);
        std::filesystem::permissions(folder_.Path(), perms::all);
        std::filesystem::permissions(path_, perms(0644));
        EXPECT_THAT(said, HasSubstr(fault.message));
        EXPECT_TRUE(ReadFileBytes(path_) == map_.bytes);
        EXPECT_EQ(folder_.Others(), std::vector<std::string>{"m.map"});
    }
}

// The new map goes into a temporary file renamed over the old one: the old
// file's inode (here a hard link) is never written, a symbolic link stays a
// link to the replaced map, and the map keeps its mode and, compiled by root,
// its owner.
TEST_F(FileSystemFault, ReplacingKeepsLinksModeAndOwner) {
    const uid_t owner = ::geteuid() == 0 ? kNobody : ::geteuid();
    ASSERT_EQ(::chown(path_.c_str(), owner, owner), 0);
    std::filesystem::permissions(path_, std::filesystem::perms(0640));
    std::filesystem::create_hard_link(path_, folder_ / "old.map");
    std::filesystem::create_symlink("m.map", folder_ / "link.map");
    ASSERT_EQ(Compile(folder_ / "link.map"), "ok");
    EXPECT_TRUE(ReadFileBytes(folder_ / "old.map") == map_.bytes);
    EXPECT_TRUE(ReadFileBytes(path_) == ExpectedMap(map_.bytes, Built(Intro())));
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
    const std::pair<const char*, const char*> cases[] = {
        {"folder.map", "it is a folder, not a map file"},  {"missing.map", "no such file"},
        {"fifo.map", "it is not a regular file"},  // was a hang
        {"loop.map", "Too many levels of symbolic links"}, {"dangling.map", "no such file"},
    };
    for (const auto& [name, message] : cases)
        EXPECT_THAT(Compile(folder_ / name), HasSubstr(message)) << name;
    EXPECT_TRUE(ReadFileBytes(path_) == map_.bytes);
}

// While a compile holds the map's lock, two more start: both wait, then both
// compile, one after the other, into the map as the other left it.
TEST_F(FileSystemFault, TwoCompilesAtOnceWaitForEachOther) {
    const std::string bravo = R"(<s><x NameAttr="bravo"><ScriptValue ValueType="8" Value="1"/></x></s>)";
    const std::string charlie = R"(<s><x NameAttr="charlie"><ScriptValue ValueType="8" Value="1"/></x></s>)";
    // Each child closes its copy: the lock belongs to the open file, which they share.
    const int lock = ::open(path_.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    Child first([&](int) { ::close(lock), CompileDocument(path_, bravo); });
    Child second([&](int) { ::close(lock), CompileDocument(path_, charlie); });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(first.Running() && second.Running());
    ::close(lock);
    EXPECT_EQ(first.Next() + second.Next(), "okok");
    const Bytes after = ReadFileBytes(path_);
    EXPECT_TRUE(after == ExpectedMap(ExpectedMap(map_.bytes, Built(bravo)), Built(charlie)) ||
                after == ExpectedMap(ExpectedMap(map_.bytes, Built(charlie)), Built(bravo)));
    EXPECT_EQ(folder_.Others(), std::vector<std::string>{"m.map"});
}

}  // namespace
}  // namespace tarnfold::robustness
