#pragma once
// The open ROM file. The whole file is read into memory when it is opened,
// so decoding never touches the disk; writes go to the file (and the copy)
// and only inside the ranges the current operation has allowed.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace mw {

class RomFile {
public:
    RomFile() = default;
    ~RomFile();
    RomFile(const RomFile&) = delete;
    RomFile& operator=(const RomFile&) = delete;

    // Opens `path` for reading and writing at arbitrary offsets, or for
    // reading alone when the file may not be written (isReadOnly()). Anything
    // that is not a regular file, or is larger than kMaxRomSize, is refused
    // before a byte is read. On failure returns false, keeps what was open
    // and sets `error` to the reason (the system's, where it gave one).
    bool open(const std::string& path, std::string& error);
    void close();
    bool isOpen() const { return file_ != nullptr; }
    // The file could only be opened for reading: saves and pokes are refused.
    bool isReadOnly() const { return readOnly_; }
    static constexpr int64_t kMaxRomSize = 16 * 1024 * 1024;
    const std::string& path() const { return path_; }
    int64_t size() const { return static_cast<int64_t>(data_.size()); }
    const std::vector<uint8_t>& bytes() const { return data_; }
    // Changes whenever the contents may have changed (open, write); unique
    // across all RomFile objects, so it can key a cache of derived data.
    uint64_t generation() const { return generation_; }

    // Byte at `offset`, or nullopt past the end (or before the start).
    std::optional<uint8_t> byteAt(int64_t offset) const;
    // True when [offset, offset + length) lies inside the file.
    bool contains(int64_t offset, int64_t length) const {
        return offset >= 0 && length >= 0 && offset <= size() && length <= size() - offset;
    }

    // Writes are refused unless they lie inside one of the allowed ranges.
    struct Range {
        int64_t offset;
        int64_t length;
    };
    void allowWrites(std::vector<Range> ranges) { allowed_ = std::move(ranges); }
    void forbidWrites() { allowed_.clear(); }

    // Writes, flushes and reads the bytes back from the disk. Returns false
    // and sets `error` when the range is not allowed, the write or flush
    // fails, or what was read back differs.
    bool write(int64_t offset, const std::vector<uint8_t>& bytes, std::string& error);

private:
    std::FILE* file_ = nullptr;
    std::string path_;
    std::vector<uint8_t> data_;
    std::vector<Range> allowed_;
    uint64_t generation_ = 0;
    bool readOnly_ = false;
    void bumpGeneration();
};

// What a save or a poke says when the open ROM is read-only.
std::string ReadOnlyRefusal(const RomFile& rom);

}  // namespace mw
