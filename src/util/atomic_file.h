#pragma once
// Replacing a file's contents at once: the bytes go to a temporary file in
// the same folder, are flushed to the disk, and the temporary file is renamed
// over the target. Until the rename the target is untouched; a failure at any
// step removes the temporary file and leaves the target as it was.
#include <cstdint>
#include <climits>
#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"

namespace mw {

// The disk operations of a replacement. Tests derive from it to make one of
// them fail; each returns false and sets `error` to the reason on failure.
class FileOps {
public:
    virtual ~FileOps() = default;
    // Writes all of `size` bytes to `file`.
    virtual bool write(platform::NativeFile file, const uint8_t* data, size_t size, std::string& error);
    // Flushes what was written to `file` to the disk.
    virtual bool flush(platform::NativeFile file, std::string& error);
    // Renames `from` over `to`.
    virtual bool rename(const std::string& from, const std::string& to, std::string& error);
};

// The program's own operations.
FileOps& SystemFileOps();

// Replaces (or creates) `path` with `bytes` as described above; a `path`
// that exists and is not a regular file is refused before anything is done. The new file
// gets the permission bits `mode` (and, where allowed, the owner `uid`/`gid`
// when given). On failure returns false and sets `error` to the step that
// failed and the system's reason.
struct FileOwner {
    unsigned mode = 0644;
    std::optional<unsigned> uid, gid;
};
bool ReplaceFile(const std::string& path, const std::vector<uint8_t>& bytes, const FileOwner& owner, FileOps& ops,
                 std::string& error);

// Where a write to `path` should go so that a symbolic link stays and its
// target changes: the link's target (even one that no longer exists), or
// `path` itself when it is no link.
std::string WriteTarget(const std::string& path);

// The temporary files of a replacement are named
// ".<name>.marlwick-<process id>-<random>.tmp" beside the file. Removes those
// in `folder` left by processes no longer running: only those of the file
// `name`, or all when `name` is empty. Returns how many were removed.
int RemoveStaleTemporaryFiles(const std::string& folder, const std::string& name);

// Reads the whole of a regular file (anything else is refused at once, never
// waited for). Nullopt when it cannot be read or holds more than `limit`
// bytes; `missing` is set when it does not exist at all.
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path, bool& missing, std::string& error,
                                                  int64_t limit = INT64_MAX);

}  // namespace mw
