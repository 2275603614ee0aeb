#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tarnfold {

// Refuses, with a message naming `path` as a `what` ("map file"), what is
// no regular file: a missing path, a folder, a pipe, a device.
void RequireRegularFile(const std::filesystem::path& path, std::string_view what = "file");

// Read-only access to a file at absolute offsets. Every typed read names the
// field it reads, so that an offset that points outside the file becomes a
// message a modder can act on instead of a read of garbage.
class BinaryFile {
public:
    // `what` names the kind of file in messages ("map file").
    explicit BinaryFile(const std::filesystem::path& path, std::string_view what = "file");
    ~BinaryFile();
    BinaryFile(const BinaryFile&) = delete;
    BinaryFile& operator=(const BinaryFile&) = delete;

    int64_t Length() const { return length_; }
    const std::filesystem::path& Path() const { return path_; }

    // True when [offset, offset + count) lies inside the file.
    bool Contains(int64_t offset, int64_t count) const {
        return offset >= 0 && count >= 0 && offset <= length_ && count <= length_ - offset;
    }

    // Reads exactly `count` bytes; the range must lie inside the file.
    void Read(int64_t offset, void* out, size_t count);
    std::vector<uint8_t> ReadBytes(int64_t offset, size_t count);

    int16_t ReadInt16(int64_t offset, std::string_view field);
    int32_t ReadInt32(int64_t offset, std::string_view field);
    uint32_t ReadUInt32(int64_t offset, std::string_view field);

    // The bytes from `offset` up to the first zero byte, the end of the file
    // or `limit` bytes, whichever comes first; an offset outside the file
    // gives an empty text.
    std::string ReadZeroTerminated(int64_t offset, size_t limit);

private:
    void RequireInside(int64_t offset, int64_t count, std::string_view field) const;
    // Per platform (BinaryFile_posix.cpp, BinaryFile_win32.cpp): opening the
    // file for reading and finding its length, reading at an offset, closing.
    // On Windows others may still rename over the file while it is open.
    void Open();
    size_t ReadSome(int64_t offset, void* out, size_t count);
    void Close();

    std::filesystem::path path_;
    intptr_t handle_ = -1;  // a file descriptor, or a Windows HANDLE
    int64_t length_ = 0;
};

}  // namespace tarnfold
