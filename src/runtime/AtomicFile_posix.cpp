#include "runtime/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "runtime/Error.h"
#include "runtime/Interrupt.h"
#include "runtime/TemporaryName.h"
#include "runtime/Utf8Path.h"

namespace tarnfold {

namespace {

std::string Reason() { return std::strerror(errno); }

int Fd(intptr_t handle) { return static_cast<int>(handle); }

void SyncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;  // the rename has happened; a folder we cannot open is not worth failing for
    ::fsync(fd);
    ::close(fd);
}

// The permissions a file created here would get.
mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

AtomicFile::AtomicFile(const std::filesystem::path& target, std::string noun, Mode mode)
    : target_(target), noun_(std::move(noun)) {
    struct stat st {};
    if (::stat(target_.c_str(), &st) != 0) {
        if (errno != ENOENT || mode != Mode::CreateOrReplace)
            throw Error("cannot open '" + Utf8(target_) + "': " + Reason());
        existed_ = false;
        st.st_mode = S_IFREG | NewFileMode();
        st.st_uid = ::geteuid();
        st.st_gid = ::getegid();
    }
    if (!S_ISREG(st.st_mode))
        throw Error("'" + Utf8(target_) + "' is not a regular file");
    // A file the user marked read-only is not to be replaced, even by root;
    // nor one this user may not write, although the rename alone would
    // replace it wherever the folder is writable.
    if (existed_ && (st.st_mode & 0222) == 0)
        throw Error("the " + noun_ + " '" + Utf8(target_) + "' is read-only; nothing was written");
    if (existed_ && ::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0)
        throw Error("the " + noun_ + " '" + Utf8(target_) + "' may not be written (" + Reason() +
                    "); nothing was written");

    const auto folder = target_.parent_path();
    std::string pattern = (folder / (TemporaryPrefix(target_) + "XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    {
        // An interrupt between creating the file and registering it would
        // leave it behind.
        interrupt::Guard guard;
        const int fd = ::mkstemp(name.data());
        if (fd < 0)
            throw Error("cannot create a temporary file in '" + Utf8(folder) + "': " + Reason() + "; the " +
                        noun_ + " was not changed");
        handle_ = fd;
        temporary_ = name.data();
        interrupt::RegisterTemporary(temporary_);
    }
    // The new file keeps the old one's owner where we may give it (as root);
    // otherwise it belongs to whoever wrote it, as any replaced file would.
    [[maybe_unused]] const int owned = ::fchown(Fd(handle_), st.st_uid, st.st_gid);
    if (::fchmod(Fd(handle_), st.st_mode & 07777) != 0) {
        const std::string reason = Reason();
        Discard();
        throw Error("cannot set the permissions of '" + Utf8(temporary_) + "': " + reason);
    }
}

void AtomicFile::Discard() {
    interrupt::Guard guard;
    if (handle_ >= 0) ::close(Fd(handle_));
    handle_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    interrupt::ForgetTemporary();
}

// Starts writing back the streamed bytes that have piled up, so that the
// disk works while the rest is still being produced and the final fsync has
// less left to do. What the kernel copied or cloned is left to that fsync.
//
// Chosen by measurement: compiles of 256 and 384 MiB maps of both layouts,
// on ext4 and on XFS with reflink, 7 runs each paired with dd bs=4M
// conv=fsync of the same map (bench/compile-vs-dd.sh). Writing back the
// streamed part only had the lowest slowest run, 1.6 times the copy:
// writeback of everything every 8 MiB, head included, had runs at 2.3 times
// the copy, one fsync at the end 2.2, and writeback that also waited for the
// previous 8 MiB 2.6. The medians told them apart less (0.2 to 1.4 times the
// copy for each, and moving by up to half the copy's time between identical
// runs on a machine shared with other builds). On ext4 the kernel's copy of
// the head dirties it as dd's writes do, and one fsync writes it in a single
// pass, as dd's does; a clone on XFS leaves nothing to write.
void AtomicFile::StartWriteback() {
    if (written_ - flushedUpTo_ >= kWritebackStep) {
        ::sync_file_range(Fd(handle_), flushedUpTo_, written_ - flushedUpTo_, SYNC_FILE_RANGE_WRITE);
        flushedUpTo_ = written_;
    }
}

int64_t AtomicFile::CopyFrom(const std::filesystem::path& source, int64_t offset, int64_t count) {
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return 0;
    loff_t from = offset;
    loff_t to = written_;
    int64_t copied = 0;
    while (copied < count) {
        const ssize_t n = ::copy_file_range(in, &from, Fd(handle_), &to, static_cast<size_t>(count - copied), 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            // Another file system, an old kernel, a file system that cannot:
            // the caller streams the rest. A full disk is a failure, though.
            const int reason = errno;
            ::close(in);
            if (n < 0 && (reason == ENOSPC || reason == EDQUOT || reason == EIO || reason == EFBIG))
                throw WriteFailed(reason);
            return copied;
        }
        copied += n;
        written_ += n;
        flushedUpTo_ = written_;  // left to the final fsync (see StartWriteback)
    }
    ::close(in);
    return copied;
}

Error AtomicFile::WriteFailed(int64_t reason) const {
    return Error("cannot write the new " + noun_ + " next to '" + Utf8(target_) + "': " +
                 std::strerror(static_cast<int>(reason)) + "; the " + noun_ + " was not changed");
}

void AtomicFile::WriteAt(int64_t offset, const uint8_t* data, size_t count) {
    while (count > 0) {
        const ssize_t n = ::pwrite(Fd(handle_), data, count, offset);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw WriteFailed(errno);
        }
        data += n;
        count -= static_cast<size_t>(n);
        offset += n;
    }
}

void AtomicFile::Flush() {
    if (::fsync(Fd(handle_)) != 0)
        throw Error("cannot flush the new " + noun_ + " to disk: " + Reason() + "; the " + noun_ +
                    " was not changed");
    const int fd = Fd(handle_);
    handle_ = -1;
    if (::close(fd) != 0)
        throw Error("cannot close the new " + noun_ + ": " + Reason() + "; the " + noun_ + " was not changed");
    flushed_ = true;
}

void AtomicFile::Commit(const std::function<void()>& afterRename) {
    if (!flushed_) Flush();
    {
        // The rename and the note that it happened are one step for an
        // interrupt: after it, the work is done and the program finishes.
        interrupt::Guard guard;
        if (::rename(temporary_.c_str(), target_.c_str()) != 0)
            throw Error("cannot replace '" + Utf8(target_) + "': " + Reason() + "; the " + noun_ +
                        " was not changed");
        committed_ = true;
        interrupt::Replaced();
    }
    if (afterRename) afterRename();
    SyncFolder(target_.parent_path());
}

}  // namespace tarnfold
