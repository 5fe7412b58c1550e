#pragma once
// The open ROM file. The whole file is read into memory when it is opened,
// so decoding never touches the disk. In memory the file is always in the
// ".smc" layout (a copier header, then the image), whatever its layout on
// the disk: a headerless dump gets a header of zeros in front when it is
// read and loses it again whenever it is written. So every offset inside
// the program is a ".smc" offset, as the definition files give them; the
// offsets the user sees and types are the file's own (diskOffset, smcOffset). A change is made on a copy of the image
// and committed at once: the new image replaces the file through a temporary
// file beside it (see util/atomic_file.h), so the file on the disk is always
// either as it was or wholly changed.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "level/rom_layout.h"
#include "util/atomic_file.h"

namespace mw {

// The byte ranges a change may alter. A commit refuses an image that differs
// from the current one anywhere else (the checksum bytes aside, which the
// commit keeps itself).
struct WriteFence {
    struct Range {
        int64_t offset;
        int64_t length;
    };
    std::vector<Range> ranges;

    bool covers(int64_t offset) const;
};

struct CommitResult {
    enum class Status {
        Done,     // the file holds the new image (the rename succeeded)
        Failed,   // a step failed; the file is as it was
        Refused,  // nothing was tried: the file changed under us, or the image strays outside the fence
        Missing,  // the file is gone; nothing was written
        Declined, // the user said no to a question the write needed; nothing was written
    };
    Status status = Status::Failed;
    // Done only: the file had been changed by another program and the change
    // was applied to its new contents.
    bool appliedToChangedFile = false;
    // What failed or why it was refused, as a sentence fragment.
    std::string reason;
    bool done() const { return status == Status::Done; }
    explicit operator bool() const { return done(); }
};

class RomFile {
public:
    RomFile() = default;
    RomFile(const RomFile&) = delete;
    RomFile& operator=(const RomFile&) = delete;

    // Reads `path` into memory; isReadOnly() when this user may not write it.
    // Anything that is not a regular file, or is larger than kMaxRomSize, is
    // refused before a byte is read. On failure returns false, keeps what was
    // open and sets `error` to the reason (the system's, where it gave one).
    bool open(const std::string& path, std::string& error);
    void close();
    bool isOpen() const { return open_; }
    // The file may not be written: saves and pokes are refused.
    bool isReadOnly() const { return readOnly_; }
    static constexpr int64_t kMaxRomSize = 16 * 1024 * 1024;
    const std::string& path() const { return path_; }
    int64_t size() const { return static_cast<int64_t>(data_.size()); }
    // The file's contents as read or as last committed.
    const std::vector<uint8_t>& bytes() const { return data_; }
    // Changes whenever the contents may have changed (open, commit); unique
    // across all RomFile objects, so it can key a cache of derived data.
    uint64_t generation() const { return generation_; }

    // The file on the disk has no copier header: a headerless dump.
    bool isHeaderless() const { return headerless_; }
    // The extension copies of this file get (backups, test copies): its own,
    // so that a copy opens as the file does; ".sfc" or ".smc" by its layout
    // when it has none.
    std::string copyExtension() const;
    // The size of the copier header in the file on the disk (0 or 0x200).
    int64_t copierHeaderSize() const { return headerless_ ? 0 : kCopierHeaderSize; }
    // The size of the file on the disk.
    int64_t diskSize() const { return DiskOffset(size()); }
    // A ".smc" offset as an offset in the file on the disk, and back.
    int64_t DiskOffset(int64_t smcOffset) const { return smcOffset - kCopierHeaderSize + copierHeaderSize(); }
    int64_t SmcOffset(int64_t diskOffset) const { return diskOffset + kCopierHeaderSize - copierHeaderSize(); }
    // `image` (in the ".smc" layout, as bytes()) as the file on the disk
    // holds it: what a save, a copy or a test image writes.
    std::vector<uint8_t> DiskImage(const std::vector<uint8_t>& image) const;
    // The image without any copier header (what patches are made between),
    // and the file in this file's layout, with its copier header, holding
    // `image` instead.
    std::vector<uint8_t> Image() const;
    std::vector<uint8_t> FileWithImage(const std::vector<uint8_t>& image) const;

    // Byte at `offset`, or nullopt past the end (or before the start).
    std::optional<uint8_t> byteAt(int64_t offset) const;
    // True when [offset, offset + length) lies inside the file.
    bool contains(int64_t offset, int64_t length) const {
        return offset >= 0 && length >= 0 && offset <= size() && length <= size() - offset;
    }

    // Replaces the file's contents with `image`, a changed copy of bytes():
    //  - `image` must be as long as the file and differ from it only inside
    //    `fence`;
    //  - when the checksum of the current contents is right (and the fence
    //    does not cover the checksum bytes), the new image's is made right;
    //  - the file at path() must still hold what was read or last committed.
    //    If another program changed it, the change is applied to the new
    //    contents when they hold the same bytes inside the fence, else the
    //    commit is refused. If it is gone, the result is Missing unless
    //    `writeIfMissing`, which writes the whole new image there;
    //  - before the first change of each opening, a copy of the file as it
    //    was goes to "<folder>/<name>.backups/<name>-YYYYMMDD-HHMMSS.<ext>"
    //    (the file's own extension; newest 10 kept); if that fails nothing
    //    is written;
    //  - the file keeps its layout: a headerless dump is written headerless.
    // On Done, bytes() is the committed image.
    CommitResult commit(std::vector<uint8_t> image, const WriteFence& fence, bool writeIfMissing = false);

    // The folder the backups go to.
    std::string backupFolder() const;
    // The backups of this ROM in backupFolder(), oldest first.
    std::vector<std::string> Backups() const;
    static constexpr int kBackupsKept = 10;

    // Whether the user may be asked to write a gone file anew (a program
    // without anyone to answer refuses instead).
    void setWritingAnewAllowed(bool allowed) { writingAnewAllowed_ = allowed; }
    bool writingAnewAllowed() const { return writingAnewAllowed_; }

    // Tests make disk steps fail through this; nullptr restores the system's.
    void setFileOps(FileOps* ops) { ops_ = ops; }

private:
    bool open_ = false;
    bool readOnly_ = false;
    bool headerless_ = false;
    std::string path_;
    std::vector<uint8_t> data_;
    uint64_t generation_ = 0;
    bool backedUp_ = false;  // a backup was kept since this opening
    bool writingAnewAllowed_ = true;
    FileOps* ops_ = nullptr;
    void bumpGeneration();
    FileOps& ops() { return ops_ != nullptr ? *ops_ : SystemFileOps(); }
    bool keepBackup(const std::vector<uint8_t>& contents, const FileOwner& owner, std::string& error);
};

}  // namespace mw
