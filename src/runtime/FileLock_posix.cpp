#include "runtime/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "runtime/Error.h"
#include "runtime/Utf8Path.h"

namespace tarnfold {

FileLock::FileLock(const std::filesystem::path& path, const std::function<void()>& onWait) {
    bool told = false;
    int fd = -1;
    for (;;) {
        // O_NONBLOCK: a pipe put where the file was must not hang the lock.
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0)
            throw Error("cannot open '" + Utf8(path) + "': " + std::strerror(errno));
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK && onWait && !told) {
            onWait();
            told = true;
        }
        while (::flock(fd, LOCK_EX) != 0) {
            if (errno != EINTR) {
                const std::string reason = std::strerror(errno);
                ::close(fd);
                throw Error("cannot lock '" + Utf8(path) + "': " + reason);
            }
        }
        struct stat locked {}, current {};
        if (::fstat(fd, &locked) == 0 && ::stat(path.c_str(), &current) == 0 &&
            locked.st_dev == current.st_dev && locked.st_ino == current.st_ino) {
            handle_ = fd;
            return;
        }
        ::close(fd);  // replaced while we waited: lock the new file instead
    }
}

FileLock::~FileLock() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

}  // namespace tarnfold
