#include "level/rom_file.h"

#include <atomic>
#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace mw {

void RomFile::bumpGeneration() {
    static std::atomic<uint64_t> counter{0};
    generation_ = ++counter;
}

RomFile::~RomFile() { close(); }

bool RomFile::open(const std::string& path, std::string& error) {
    // Looked at before opening: a FIFO would block the open, and a device
    // such as /dev/zero would be read until memory runs out.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        error = std::strerror(errno);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = "it is not a regular file";
        return false;
    }
    if (info.st_size > kMaxRomSize) {
        error = "it is larger than 16 MiB (" + std::to_string(static_cast<long long>(info.st_size)) + " bytes)";
        return false;
    }
    // Read-only when this user may not write it, and also when it is marked
    // read-only for everyone (root could write it anyway).
    const bool readOnly = (info.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0;
    std::FILE* f = std::fopen(path.c_str(), readOnly ? "rb" : "r+b");
    if (f == nullptr) {
        error = std::strerror(errno);
        return false;
    }
    // At most one byte more than the limit is read, should the file have
    // grown since it was looked at.
    std::vector<uint8_t> data;
    uint8_t buffer[65536];
    size_t n;
    while (static_cast<int64_t>(data.size()) <= kMaxRomSize && (n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        data.insert(data.end(), buffer, buffer + n);
    if (std::ferror(f) || static_cast<int64_t>(data.size()) > kMaxRomSize) {
        error = std::ferror(f) ? std::strerror(errno) : "it is larger than 16 MiB";
        std::fclose(f);
        return false;
    }
    close();
    file_ = f;
    path_ = path;
    data_ = std::move(data);
    readOnly_ = readOnly;
    allowed_.clear();
    bumpGeneration();
    return true;
}

void RomFile::close() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    path_.clear();
    data_.clear();
    readOnly_ = false;
    allowed_.clear();
    bumpGeneration();
}

std::optional<uint8_t> RomFile::byteAt(int64_t offset) const {
    if (offset < 0 || offset >= size()) return std::nullopt;
    return data_[static_cast<size_t>(offset)];
}

bool RomFile::write(int64_t offset, const std::vector<uint8_t>& bytes, std::string& error) {
    const int64_t length = static_cast<int64_t>(bytes.size());
    if (file_ == nullptr) {
        error = "no ROM file is open";
        return false;
    }
    if (readOnly_) {
        error = "the file is open for reading only";
        return false;
    }
    bool permitted = false;
    for (const Range& r : allowed_)
        if (offset >= r.offset && offset + length <= r.offset + r.length) permitted = true;
    if (!permitted || !contains(offset, length)) {
        error = "internal error: refused to write " + std::to_string(length) + " bytes at offset " +
                std::to_string(offset) + ", outside what this operation may change";
        return false;
    }
    errno = 0;
    if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0 ||
        std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size() || std::fflush(file_) != 0) {
        error = errno != 0 ? std::strerror(errno) : "the write was cut short";
        std::clearerr(file_);
        return false;
    }
    std::vector<uint8_t> back(bytes.size());
    if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0 ||
        std::fread(back.data(), 1, back.size(), file_) != back.size()) {
        error = errno != 0 ? std::strerror(errno) : "the written bytes could not be read back";
        std::clearerr(file_);
        return false;
    }
    std::copy(back.begin(), back.end(), data_.begin() + offset);
    bumpGeneration();
    if (back != bytes) {
        error = "the bytes read back differ from the bytes written";
        return false;
    }
    return true;
}

std::string ReadOnlyRefusal(const RomFile& rom) {
    return "The ROM file " + rom.path() + " is read-only, so nothing can be written to it.\nNothing was written.";
}

}  // namespace mw
