#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "runtime/BinaryFile.h"
#include "runtime/Error.h"
#include "runtime/Utf8Path.h"

namespace tarnfold {

void BinaryFile::Open() {
    const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw Error("cannot open '" + Utf8(path_) + "': " + std::strerror(errno));
    handle_ = fd;
    length_ = ::lseek(fd, 0, SEEK_END);
    if (length_ < 0) Close(), throw Error("cannot read '" + Utf8(path_) + "': its length is unknown");
}

size_t BinaryFile::ReadSome(int64_t offset, void* out, size_t count) {
    for (;;) {
        const ssize_t n = ::pread(static_cast<int>(handle_), out, count, offset);
        if (n >= 0) return static_cast<size_t>(n);
        if (errno != EINTR) return 0;
    }
}

void BinaryFile::Close() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
    handle_ = -1;
}

}  // namespace tarnfold
