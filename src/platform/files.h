#pragma once
// What differs between the systems in handling files: everything else in the
// program reaches the disk through std::filesystem, the standard streams and
// these functions. Paths are UTF-8 strings on every system (converted to wide
// strings on Windows). A failing call returns false (or nullopt) and sets
// `error` to the system's reason.
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace mw::platform {

// An open file: a descriptor, or a HANDLE on Windows.
using NativeFile = intptr_t;

// A UTF-8 path as a std::filesystem path, and back.
inline std::filesystem::path PathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}
inline std::string Utf8Of(const std::filesystem::path& p) {
    const std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
}
// The extension of a UTF-8 path with its dot, ASCII letters in lower case
// (".sfc" for "dump.SFC"); empty when it has none.
std::string LowerCaseExtension(const std::string& utf8);

// What a path names, links followed, found without opening it.
enum class Kind { Missing, Regular, Other };
struct FileInfo {
    Kind kind = Kind::Missing;
    int64_t size = 0;
    // The permission bits; on Windows 0444 for a read-only file, else 0644.
    unsigned mode = 0644;
    std::optional<unsigned> uid, gid;
    // Why the path could not be looked at, when it exists (or may).
    std::string error;
};
FileInfo Inspect(const std::string& path);

// False when this user may not write the file, and also when it is marked
// read-only for everyone (an administrator could write it anyway).
bool IsWritable(const std::string& path);

// The file a write to `path` should change: a symbolic link is followed
// (through further links) to its target even when that no longer exists,
// so that the link stays a link. `path` itself when it is no link.
std::string FollowLinks(const std::string& path);

// Reads the whole of a regular file, refusing anything else before reading
// and never waiting (a FIFO is refused, not opened for a writer). Nullopt
// when it cannot be read or holds more than `limit` bytes; `missing` is set
// when it does not exist at all.
std::optional<std::vector<uint8_t>> ReadRegularFile(const std::string& path, int64_t limit, bool& missing,
                                                    std::string& error);

// Creates `path`, which must not exist, for writing. `exists` is set when
// the name was taken.
std::optional<NativeFile> CreateNewFile(const std::string& path, bool& exists, std::string& error);
// Gives the file the permission bits and, where allowed, the owner (POSIX;
// Windows keeps what the folder gives).
bool SetPermissions(NativeFile file, unsigned mode, std::optional<unsigned> uid, std::optional<unsigned> gid,
                    std::string& error);
bool WriteAll(NativeFile file, const uint8_t* data, size_t size, std::string& error);
// Flushes what was written to the disk.
bool FlushFile(NativeFile file, std::string& error);
bool CloseFile(NativeFile file, std::string& error);
bool RemoveFile(const std::string& path);
// Renames `from` over `to` in one step, replacing `to` when it exists.
bool RenameOver(const std::string& from, const std::string& to, std::string& error);
// Makes the folder's entries survive a power cut (where the system has
// such a thing; nothing to do on Windows).
void FlushFolder(const std::string& folder);

int CurrentProcessId();
// False only when no process `pid` runs now (unsure counts as running).
bool ProcessIsRunning(int pid);

// The folder of the running program, or "." when unknown.
std::string ExecutableFolder();

std::tm LocalTime(std::time_t t);

}  // namespace mw::platform
