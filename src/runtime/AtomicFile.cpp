#include "runtime/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>
#include <string>
#include <vector>

#include "runtime/Error.h"

namespace tarnfold {

namespace {

std::string Reason() { return std::strerror(errno); }

// The name mkstemp gives the temporary file of `target`, without its six
// random characters. Hidden and keeping no file extension at its end, so a
// leftover is never offered as the kind of file it replaces.
std::string TemporaryPrefix(const std::filesystem::path& target) {
    return "." + target.filename().string() + ".tarnfold-";
}

void SyncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;  // the rename has happened; a folder we cannot open is not worth failing for
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

int RemoveStaleTemporaries(const std::filesystem::path& target) {
    const std::string prefix = TemporaryPrefix(target);
    int removed = 0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(target.parent_path(), ec)) {
        const std::string name = entry.path().filename().string();
        if (name.size() == prefix.size() + 6 && name.starts_with(prefix) && entry.is_regular_file(ec) &&
            std::filesystem::remove(entry.path(), ec))
            ++removed;
    }
    return removed;
}

AtomicFile::AtomicFile(const std::filesystem::path& target, std::string noun)
    : target_(target), noun_(std::move(noun)) {
    struct stat st {};
    if (::stat(target_.c_str(), &st) != 0)
        throw Error("cannot open '" + target_.string() + "': " + Reason());
    if (!S_ISREG(st.st_mode))
        throw Error("'" + target_.string() + "' is not a regular file");
    // A file the user marked read-only is not to be replaced, even by root;
    // nor one this user may not write, although the rename alone would
    // replace it wherever the folder is writable.
    if ((st.st_mode & 0222) == 0)
        throw Error("the " + noun_ + " '" + target_.string() + "' is read-only; nothing was written");
    if (::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0)
        throw Error("the " + noun_ + " '" + target_.string() + "' may not be written (" + Reason() +
                    "); nothing was written");

    const auto folder = target_.parent_path();
    std::string pattern = (folder / (TemporaryPrefix(target_) + "XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd_ = ::mkstemp(name.data());
    if (fd_ < 0)
        throw Error("cannot create a temporary file in '" + folder.string() + "': " + Reason() +
                    "; the " + noun_ + " was not changed");
    temporary_ = name.data();
    // The new file keeps the old one's owner where we may give it (as root);
    // otherwise it belongs to whoever wrote it, as any replaced file would.
    [[maybe_unused]] const int owned = ::fchown(fd_, st.st_uid, st.st_gid);
    if (::fchmod(fd_, st.st_mode & 07777) != 0) {
        const std::string reason = Reason();
        Discard();
        throw Error("cannot set the permissions of '" + temporary_.string() + "': " + reason);
    }
}

AtomicFile::~AtomicFile() {
    if (!committed_) Discard();
}

void AtomicFile::Discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

void AtomicFile::Write(const uint8_t* data, size_t count) {
    while (count > 0) {
        const ssize_t written = ::write(fd_, data, count);
        if (written < 0) {
            if (errno == EINTR) continue;
            throw Error("cannot write the new " + noun_ + " next to '" + target_.string() + "': " + Reason() +
                        "; the " + noun_ + " was not changed");
        }
        data += written;
        count -= static_cast<size_t>(written);
        written_ += written;
    }
    // Start writing back what has piled up, so that the disk works while the
    // rest is still being produced and the final fsync has little left to do.
    if (written_ - flushedUpTo_ >= kWritebackStep) {
        ::sync_file_range(fd_, flushedUpTo_, written_ - flushedUpTo_, SYNC_FILE_RANGE_WRITE);
        flushedUpTo_ = written_;
    }
}

void AtomicFile::Flush() {
    if (::fsync(fd_) != 0)
        throw Error("cannot flush the new " + noun_ + " to disk: " + Reason() + "; the " + noun_ +
                    " was not changed");
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        throw Error("cannot close the new " + noun_ + ": " + Reason() + "; the " + noun_ + " was not changed");
    flushed_ = true;
}

void AtomicFile::Commit() {
    if (!flushed_) Flush();
    if (::rename(temporary_.c_str(), target_.c_str()) != 0)
        throw Error("cannot replace '" + target_.string() + "': " + Reason() +
                    "; the " + noun_ + " was not changed");
    committed_ = true;
    SyncFolder(target_.parent_path());
}

}  // namespace tarnfold
