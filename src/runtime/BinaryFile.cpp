#include "runtime/BinaryFile.h"

#include <algorithm>
#include <cstring>
#include <system_error>

#include "runtime/ByteOrder.h"
#include "runtime/Error.h"
#include "runtime/System.h"
#include "runtime/Utf8Path.h"

namespace tarnfold {

void RequireRegularFile(const std::filesystem::path& path, std::string_view what) {
    CheckPathLength(path);
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec && ec != std::errc::no_such_file_or_directory)  // a link loop, a folder we may not enter
        throw Error("cannot open '" + Utf8(path) + "': " + ec.message());
    if (!std::filesystem::exists(status))
        throw Error("cannot open '" + Utf8(path) + "': no such file");
    if (std::filesystem::is_directory(status))
        throw Error("cannot open '" + Utf8(path) + "': it is a folder, not a " + std::string(what));
    // Opening a pipe would wait for a writer for ever, and a device has no
    // length to check: neither can be read as a file of ours.
    if (!std::filesystem::is_regular_file(status))
        throw Error("cannot open '" + Utf8(path) + "': it is not a regular file" +
                    (what == "file" ? std::string() : ", so not a " + std::string(what)));
}

BinaryFile::BinaryFile(const std::filesystem::path& path, std::string_view what) : path_(path) {
    RequireRegularFile(path, what);
    Open();
}

BinaryFile::~BinaryFile() { Close(); }

void BinaryFile::RequireInside(int64_t offset, int64_t count, std::string_view field) const {
    if (!Contains(offset, count))
        throw Error(std::string(field) + " at offset " + DescribeOffset(offset) +
                    " lies outside the file (" + std::to_string(length_) + " bytes)");
}

void BinaryFile::Read(int64_t offset, void* out, size_t count) {
    RequireInside(offset, static_cast<int64_t>(count), "read");
    auto* bytes = static_cast<uint8_t*>(out);
    for (size_t done = 0; done < count;) {
        const size_t got = ReadSome(offset + static_cast<int64_t>(done), bytes + done, count - done);
        if (got == 0)
            throw Error("cannot read " + std::to_string(count) + " bytes at offset " + DescribeOffset(offset) +
                        " of '" + Utf8(path_) + "'");
        done += got;
    }
}

std::vector<uint8_t> BinaryFile::ReadBytes(int64_t offset, size_t count) {
    std::vector<uint8_t> bytes(count);
    if (count > 0) Read(offset, bytes.data(), count);
    return bytes;
}

int16_t BinaryFile::ReadInt16(int64_t offset, std::string_view field) {
    RequireInside(offset, 2, field);
    uint8_t raw[2];
    Read(offset, raw, 2);
    return ReadInt16LE(raw);
}

int32_t BinaryFile::ReadInt32(int64_t offset, std::string_view field) {
    return static_cast<int32_t>(ReadUInt32(offset, field));
}

uint32_t BinaryFile::ReadUInt32(int64_t offset, std::string_view field) {
    RequireInside(offset, 4, field);
    uint8_t raw[4];
    Read(offset, raw, 4);
    return ReadUInt32LE(raw);
}

std::string BinaryFile::ReadZeroTerminated(int64_t offset, size_t limit) {
    if (offset < 0 || offset >= length_) return {};
    std::string text(static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(limit), length_ - offset)), '\0');
    Read(offset, text.data(), text.size());
    text.resize(std::strlen(text.c_str()));  // up to the first zero byte, if any
    return text;
}

}  // namespace tarnfold
