#include "level/rom_file.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <regex>

#include "level/rom_checksum.h"
#include "level/rom_identity.h"
#include "platform/files.h"
#include "util/hex_text.h"

namespace mw {

namespace fs = std::filesystem;

bool WriteFence::covers(int64_t offset) const {
    for (const Range& r : ranges)
        if (offset >= r.offset && offset - r.offset < r.length) return true;
    return false;
}

void RomFile::bumpGeneration() {
    static std::atomic<uint64_t> counter{0};
    generation_ = ++counter;
}

namespace {
// Read-only when this user may not write it, and also when it is marked
// read-only for everyone (root could write it anyway).
bool IsReadOnly(const std::string& path) { return !platform::IsWritable(path); }

// Temporary files that saves interrupted by an ending process left beside
// the ROM's file and in its backups go at its next open or save.
void RemoveLeftovers(const std::string& target, const std::string& backups) {
    const fs::path file = platform::PathOf(target);
    const fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
    RemoveStaleTemporaryFiles(platform::Utf8Of(folder), platform::Utf8Of(file.filename()));
    RemoveStaleTemporaryFiles(backups, "");
}

}  // namespace

bool RomFile::open(const std::string& path, std::string& error) {
    // Looked at before opening: a device such as /dev/zero would be read
    // until memory runs out (and the read refuses a FIFO without waiting).
    const platform::FileInfo info = platform::Inspect(path);
    if (info.kind == platform::Kind::Missing) {
        error = info.error.empty() ? "No such file or directory" : info.error;
        return false;
    }
    if (info.kind != platform::Kind::Regular) {
        error = "it is not a regular file";
        return false;
    }
    if (info.size > kMaxRomSize) {
        error = "it is larger than 16 MiB (" + std::to_string(static_cast<long long>(info.size)) + " bytes)";
        return false;
    }
    bool missing = false;
    std::optional<std::vector<uint8_t>> data = ReadWholeFile(path, missing, error, kMaxRomSize);
    if (!data) return false;
    close();
    open_ = true;
    path_ = path;
    headerless_ = IsHeaderlessDump(*data);
    data_ = headerless_ ? WithCopierHeader(*data) : std::move(*data);
    readOnly_ = IsReadOnly(path);
    RemoveLeftovers(WriteTarget(path_), backupFolder());
    backedUp_ = false;
    bumpGeneration();
    return true;
}

void RomFile::close() {
    open_ = false;
    readOnly_ = false;
    headerless_ = false;
    path_.clear();
    data_.clear();
    backedUp_ = false;
    bumpGeneration();
}

std::vector<uint8_t> RomFile::DiskImage(const std::vector<uint8_t>& image) const {
    if (!headerless_) return image;
    const size_t skip = std::min(image.size(), static_cast<size_t>(kCopierHeaderSize));
    return std::vector<uint8_t>(image.begin() + static_cast<std::ptrdiff_t>(skip), image.end());
}

std::vector<uint8_t> RomFile::Image() const {
    const size_t skip = std::min(data_.size(), static_cast<size_t>(kCopierHeaderSize));
    return std::vector<uint8_t>(data_.begin() + static_cast<std::ptrdiff_t>(skip), data_.end());
}

std::vector<uint8_t> RomFile::FileWithImage(const std::vector<uint8_t>& image) const {
    if (headerless_) return image;
    std::vector<uint8_t> file(data_.begin(), data_.begin() + static_cast<std::ptrdiff_t>(
                                                                 std::min(data_.size(), static_cast<size_t>(kCopierHeaderSize))));
    file.resize(kCopierHeaderSize, 0x00);
    file.insert(file.end(), image.begin(), image.end());
    return file;
}

std::optional<uint8_t> RomFile::byteAt(int64_t offset) const {
    if (offset < 0 || offset >= size()) return std::nullopt;
    return data_[static_cast<size_t>(offset)];
}

namespace {

bool IsChecksumByte(int64_t offset) { return offset >= kChecksumComplementOffset && offset < kChecksumOffset + 2; }

// The first offset at which `image` differs from `base` outside the fence
// (the checksum bytes aside), or nullopt.
std::optional<int64_t> StrayChange(const std::vector<uint8_t>& base, const std::vector<uint8_t>& image,
                                   const WriteFence& fence) {
    const uint8_t* a = base.data();
    const uint8_t* b = image.data();
    const size_t n = base.size();
    size_t k = 0;
    while (k < n) {
        // Skip equal runs quickly; look closer only where something differs.
        auto [pa, pb] = std::mismatch(a + k, a + n, b + k);
        k = static_cast<size_t>(pa - a);
        if (k >= n) break;
        const auto at = static_cast<int64_t>(k);
        if (!fence.covers(at) && !IsChecksumByte(at)) return at;
        ++k;
    }
    return std::nullopt;
}

bool FenceCoversChecksum(const WriteFence& fence) {
    for (int64_t k = kChecksumComplementOffset; k < kChecksumOffset + 2; ++k)
        if (fence.covers(k)) return true;
    return false;
}

std::string Stem(const std::string& path) { return platform::Utf8Of(platform::PathOf(path).stem()); }

std::string EscapedForRegex(const std::string& text) {
    return std::regex_replace(text, std::regex(R"([\^$.|?*+()\[\]{}\\])"), R"(\$&)");
}

}  // namespace

std::string RomFile::backupFolder() const {
    const fs::path p = platform::PathOf(path_);
    const fs::path folder = p.parent_path().empty() ? fs::path(".") : p.parent_path();
    return platform::Utf8Of(folder / platform::PathOf(Stem(path_) + ".backups"));
}

std::string RomFile::copyExtension() const {
    const std::string ext = platform::Utf8Of(platform::PathOf(path_).extension());
    return ext.empty() ? (headerless_ ? ".sfc" : ".smc") : ext;
}

std::vector<std::string> RomFile::Backups() const {
    // Names sort by their time, then by their number within the same second.
    const std::string stem = Stem(path_);
    const std::regex pattern(EscapedForRegex(stem) + R"(-(\d{8}-\d{6})(?:-(\d+))?)" +
                             EscapedForRegex(copyExtension()));
    std::vector<std::pair<std::pair<std::string, int>, std::string>> found;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(platform::PathOf(backupFolder()), ec)) {
        std::smatch m;
        const std::string file = platform::Utf8Of(e.path().filename());
        if (e.is_regular_file(ec) && std::regex_match(file, m, pattern))
            found.push_back({{m[1].str(), m[2].matched ? std::stoi(m[2].str()) : 1}, platform::Utf8Of(e.path())});
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> paths;
    for (auto& f : found) paths.push_back(std::move(f.second));
    return paths;
}

bool RomFile::keepBackup(const std::vector<uint8_t>& contents, const FileOwner& owner, std::string& error) {
    const std::string folder = backupFolder();
    const fs::path folderPath = platform::PathOf(folder);
    std::error_code ec;
    fs::create_directories(folderPath, ec);
    if (ec) {
        error = "creating the backup folder " + folder + " failed: " + ec.message();
        return false;
    }
    const std::string stem = Stem(path_);
    const std::string ext = copyExtension();
    std::time_t now = std::time(nullptr);
    const std::tm local = platform::LocalTime(now);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    // Two openings within one second get numbered names rather than one
    // backup overwriting the other.
    std::string name = stem + "-" + stamp + ext;
    for (int n = 2; fs::exists(folderPath / platform::PathOf(name), ec); ++n)
        name = stem + "-" + stamp + "-" + std::to_string(n) + ext;
    std::string why;
    if (!ReplaceFile(folder + "/" + name, contents, owner, ops(), why)) {
        error = "keeping a backup in " + folder + " failed: " + why;
        return false;
    }
    // Keep the newest backups of this ROM.
    const std::vector<std::string> backups = Backups();
    for (size_t k = 0; k + kBackupsKept < backups.size(); ++k) fs::remove(backups[k], ec);
    return true;
}

CommitResult RomFile::commit(std::vector<uint8_t> image, const WriteFence& fence, bool writeIfMissing) {
    using Status = CommitResult::Status;
    CommitResult result;
    if (!open_) {
        result.status = Status::Refused;
        result.reason = "no ROM file is open";
        return result;
    }
    if (readOnly_) {
        result.status = Status::Refused;
        result.reason = "the file is open for reading only";
        return result;
    }
    if (image.size() != data_.size()) {
        result.status = Status::Refused;
        result.reason = "internal error: the new image is not as long as the file";
        return result;
    }
    if (std::optional<int64_t> at = StrayChange(data_, image, fence)) {
        result.status = Status::Refused;
        result.reason = "internal error: the change would alter offset " + ToHex(static_cast<uint32_t>(*at)) +
                        ", outside what this operation may change";
        return result;
    }

    // A link is followed, so that the link stays and its target changes.
    const std::string target = WriteTarget(path_);

    RemoveLeftovers(target, backupFolder());

    // Is the file still the one that was read? Another program may have put
    // a FIFO or a device in its place: the read refuses those without waiting.
    const platform::FileInfo info = platform::Inspect(target);
    if (info.kind == platform::Kind::Other) {
        result.status = Status::Refused;
        result.reason = "it is no longer a regular file";
        return result;
    }
    bool missing = false;
    std::string why;
    std::optional<std::vector<uint8_t>> onDisk = ReadWholeFile(target, missing, why, kMaxRomSize);
    if (onDisk && headerless_) onDisk = WithCopierHeader(*onDisk);  // compared in memory's layout
    const std::vector<uint8_t>* base = &data_;
    if (!onDisk && missing) {
        if (!writeIfMissing) {
            result.status = Status::Missing;
            result.reason = "it no longer exists";
            return result;
        }
    } else if (!onDisk) {
        result.status = Status::Failed;
        result.reason = "reading it before the change failed: " + why;
        return result;
    } else if (IsReadOnly(target)) {
        result.status = Status::Refused;
        result.reason = "the file is read-only";
        return result;
    } else if (onDisk->size() != data_.size()) {
        // Cut short or grown by another program: whatever it did, the
        // offsets of this change may no longer mean what they meant.
        result.status = Status::Refused;
        result.reason = "another program changed its size since it was read, from " +
                        std::to_string(DiskOffset(size())) + " to " +
                        std::to_string(DiskOffset(static_cast<int64_t>(onDisk->size()))) +
                        " bytes (open the ROM again to see what it holds now)";
        return result;
    } else if (*onDisk != data_) {
        // Another program changed the file. The change can go onto its new
        // contents when every byte it may alter is still what we read.
        const auto size = static_cast<int64_t>(data_.size());
        bool same = true;
        for (const WriteFence::Range& r : fence.ranges) {
            if (r.offset < 0 || r.length < 0 || r.offset > size || r.length > size - r.offset ||
                !std::equal(data_.begin() + r.offset, data_.begin() + r.offset + r.length,
                            onDisk->begin() + r.offset)) {
                same = false;
                break;
            }
        }
        if (!same) {
            result.status = Status::Refused;
            result.reason = "another program changed it since it was read, and the bytes this change would "
                            "write are no longer the same there (open the ROM again to see what it holds now)";
            return result;
        }
        std::vector<uint8_t> rebased = *onDisk;
        for (const WriteFence::Range& r : fence.ranges)
            std::copy(image.begin() + r.offset, image.begin() + r.offset + r.length, rebased.begin() + r.offset);
        image = std::move(rebased);
        base = &*onDisk;
        result.appliedToChangedFile = true;
    }

    if (!FenceCoversChecksum(fence) && ChecksumIsRight(*base)) WriteChecksum(image);

    FileOwner owner;
    if (info.kind == platform::Kind::Regular) {
        owner.mode = info.mode;
        owner.uid = info.uid;
        owner.gid = info.gid;
    }
    if (!backedUp_ && onDisk) {
        if (!keepBackup(DiskImage(*onDisk), owner, why)) {
            result.status = Status::Failed;
            result.reason = why;
            return result;
        }
        backedUp_ = true;
    }
    if (!ReplaceFile(target, DiskImage(image), owner, ops(), why)) {
        result.status = Status::Failed;
        result.reason = why;
        return result;
    }
    data_ = std::move(image);
    bumpGeneration();
    result.status = Status::Done;
    return result;
}

}  // namespace mw
