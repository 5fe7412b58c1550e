#include "util/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace mw {

bool FileOps::write(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool FileOps::flush(int fd) { return ::fsync(fd) == 0; }

bool FileOps::rename(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()) == 0; }

FileOps& SystemFileOps() {
    static FileOps ops;
    return ops;
}

namespace {
std::string Reason() { return errno != 0 ? std::strerror(errno) : "unknown error"; }

std::string FolderOf(const std::string& path) {
    std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? "." : folder;
}
}  // namespace

bool ReplaceFile(const std::string& path, const std::vector<uint8_t>& bytes, const FileOwner& owner, FileOps& ops,
                 std::string& error) {
    // Only a regular file is replaced: a rename over a device, a FIFO or a
    // folder's entry would swap the node itself (as root, even /dev/full).
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
        error = "it is not a regular file";
        return false;
    }
    const std::string folder = FolderOf(path);
    std::string temp = folder + "/." + std::filesystem::path(path).filename().string() + ".XXXXXX";
    errno = 0;
    int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        error = "creating a temporary file in " + folder + " failed: " + Reason();
        return false;
    }
    auto fail = [&](const std::string& step) {
        error = step + " failed: " + Reason();
        if (fd >= 0) ::close(fd);
        ::unlink(temp.c_str());
        return false;
    };
    errno = 0;
    if (::fchmod(fd, static_cast<mode_t>(owner.mode & 07777)) != 0) return fail("setting the permissions");
    if (owner.uid && owner.gid) {
        // Only the owner's own user or root may give a file away; otherwise it
        // stays with whoever saves it, as a file written in place would not.
        if (::fchown(fd, *owner.uid, *owner.gid) != 0 && errno != EPERM) return fail("setting the owner");
    }
    errno = 0;
    if (!ops.write(fd, bytes.data(), bytes.size())) return fail("writing the temporary file");
    errno = 0;
    if (!ops.flush(fd)) return fail("flushing the temporary file to the disk");
    errno = 0;
    int closed = ::close(fd);
    fd = -1;
    if (closed != 0) return fail("closing the temporary file");
    errno = 0;
    if (!ops.rename(temp, path)) return fail("renaming the temporary file over " + path);
    // The rename is the change; flushing the folder only makes it survive a
    // power cut sooner, so its failure changes nothing that was done.
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

std::string WriteTarget(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(path, ec)) return path;
    const std::filesystem::path resolved = std::filesystem::canonical(path, ec);
    return ec ? path : resolved.string();
}

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path, bool& missing, std::string& error,
                                                  int64_t limit) {
    missing = false;
    errno = 0;
    // Opened without waiting (a FIFO with no writer would block the open) and
    // looked at through the descriptor, so that what is read is what was
    // looked at: only a regular file is read, never a FIFO or a device such
    // as /dev/zero, which would be read until memory runs out.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        missing = errno == ENOENT;
        error = Reason();
        return std::nullopt;
    }
    struct stat info {};
    std::optional<std::vector<uint8_t>> result;
    if (::fstat(fd, &info) != 0) {
        error = Reason();
    } else if (S_ISDIR(info.st_mode)) {
        error = std::strerror(EISDIR);  // as reading it would have said
    } else if (!S_ISREG(info.st_mode)) {
        error = "it is not a regular file";
    } else if (info.st_size > limit) {
        error = "it is larger than " + std::to_string(limit) + " bytes";
    } else {
        std::vector<uint8_t> data;
        data.reserve(static_cast<size_t>(info.st_size));
        // At most one buffer more than the limit is read, should the file
        // have grown since.
        uint8_t buffer[65536];
        bool failed = false;
        while (static_cast<int64_t>(data.size()) <= limit) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                failed = true;
                error = Reason();
            }
            if (n <= 0) break;
            data.insert(data.end(), buffer, buffer + n);
        }
        if (!failed && static_cast<int64_t>(data.size()) > limit)
            error = "it is larger than " + std::to_string(limit) + " bytes";
        else if (!failed)
            result = std::move(data);
    }
    ::close(fd);
    return result;
}

}  // namespace mw
