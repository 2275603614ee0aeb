#include "runtime/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "runtime/Error.h"

namespace tarnfold {

FileLock::FileLock(const std::filesystem::path& path, const std::function<void()>& onWait) {
    bool told = false;
    for (;;) {
        // O_NONBLOCK: a pipe put where the file was must not hang the lock.
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd_ < 0)
            throw Error("cannot open '" + path.string() + "': " + std::strerror(errno));
        if (::flock(fd_, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK && onWait && !told) {
            onWait();
            told = true;
        }
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                const std::string reason = std::strerror(errno);
                ::close(fd_);
                throw Error("cannot lock '" + path.string() + "': " + reason);
            }
        }
        struct stat locked {}, current {};
        if (::fstat(fd_, &locked) == 0 && ::stat(path.c_str(), &current) == 0 &&
            locked.st_dev == current.st_dev && locked.st_ino == current.st_ino)
            return;
        ::close(fd_);  // replaced while we waited: lock the new file instead
    }
}

FileLock::~FileLock() {
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace tarnfold
