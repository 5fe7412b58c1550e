#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "platform/files.h"
#include "platform/files_common.h"
#if defined(__APPLE__)
#include <mach-o/dyld.h>
#endif

namespace mw::platform {

namespace {
std::string Reason() { return errno != 0 ? std::strerror(errno) : "unknown error"; }
}  // namespace

FileInfo Inspect(const std::string& path) {
    FileInfo info;
    struct stat st {};
    errno = 0;
    if (::stat(path.c_str(), &st) != 0) {
        if (errno != ENOENT) info.error = Reason();
        return info;
    }
    info.kind = S_ISREG(st.st_mode) ? Kind::Regular : Kind::Other;
    info.size = static_cast<int64_t>(st.st_size);
    info.mode = st.st_mode & 07777;
    info.uid = st.st_uid;
    info.gid = st.st_gid;
    return info;
}

bool IsWritable(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && (st.st_mode & 0222) != 0 && ::access(path.c_str(), W_OK) == 0;
}

std::string FollowLinks(const std::string& path) {
    std::string current = path;
    // A loop of links ends here; the write then fails on the loop itself.
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        std::vector<char> buffer(static_cast<size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) + 1);
        const ssize_t n = ::readlink(current.c_str(), buffer.data(), buffer.size());
        if (n < 0 || static_cast<size_t>(n) >= buffer.size()) return current;
        std::string target(buffer.data(), static_cast<size_t>(n));
        if (target.empty()) return current;
        if (target[0] != '/') {
            const size_t slash = current.rfind('/');
            if (slash != std::string::npos) target = current.substr(0, slash + 1) + target;
        }
        current = target;
    }
    return current;
}

std::optional<std::vector<uint8_t>> ReadRegularFile(const std::string& path, int64_t limit, bool& missing,
                                                    std::string& error) {
    missing = false;
    errno = 0;
    // Non-blocking, so that opening a FIFO returns at once; what it is is
    // then asked of the open file itself, which cannot change under us.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        missing = errno == ENOENT;
        error = Reason();
        return std::nullopt;
    }
    struct stat st {};
    const bool looked = ::fstat(fd, &st) == 0;
    if (!looked || !S_ISREG(st.st_mode)) {
        error = looked ? "it is not a regular file" : Reason();
        ::close(fd);
        return std::nullopt;
    }
    std::optional<std::vector<uint8_t>> data = ReadUpTo(
        static_cast<int64_t>(st.st_size), limit,
        [&](uint8_t* into, size_t size) -> int64_t {
            for (;;) {
                const ssize_t n = ::read(fd, into, size);
                if (n >= 0) return n;
                if (errno != EINTR) {
                    error = Reason();
                    return -1;
                }
            }
        },
        error);
    ::close(fd);
    return data;
}

std::optional<NativeFile> CreateNewFile(const std::string& path, bool& exists, std::string& error) {
    errno = 0;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    exists = fd < 0 && errno == EEXIST;
    if (fd < 0) {
        error = Reason();
        return std::nullopt;
    }
    return fd;
}

bool SetPermissions(NativeFile file, unsigned mode, std::optional<unsigned> uid, std::optional<unsigned> gid,
                    std::string& error) {
    const int fd = static_cast<int>(file);
    errno = 0;
    if (::fchmod(fd, static_cast<mode_t>(mode & 07777)) != 0) {
        error = "setting the permissions failed: " + Reason();
        return false;
    }
    // Only the owner's own user or root may give a file away; otherwise it
    // stays with whoever saves it, as a file written in place would not.
    if (uid && gid && ::fchown(fd, *uid, *gid) != 0 && errno != EPERM) {
        error = "setting the owner failed: " + Reason();
        return false;
    }
    return true;
}

bool WriteAll(NativeFile file, const uint8_t* data, size_t size, std::string& error) {
    while (size > 0) {
        errno = 0;
        const ssize_t n = ::write(static_cast<int>(file), data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            error = Reason();
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool FlushFile(NativeFile file, std::string& error) {
    errno = 0;
    if (::fsync(static_cast<int>(file)) == 0) return true;
    error = Reason();
    return false;
}

bool CloseFile(NativeFile file, std::string& error) {
    errno = 0;
    if (::close(static_cast<int>(file)) == 0) return true;
    error = Reason();
    return false;
}

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool RenameOver(const std::string& from, const std::string& to, std::string& error) {
    errno = 0;
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
    error = Reason();
    return false;
}

void FlushFolder(const std::string& folder) {
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return;
    ::fsync(dir);
    ::close(dir);
}

int CurrentProcessId() { return static_cast<int>(::getpid()); }

bool ProcessIsRunning(int pid) {
    if (pid <= 0) return true;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

std::string ExecutableFolder() {
    std::string exe;
#if defined(__APPLE__)
    uint32_t size = 0;
    _NSGetExecutablePath(nullptr, &size);
    std::vector<char> buffer(size + 1);
    if (_NSGetExecutablePath(buffer.data(), &size) == 0) exe = buffer.data();
#else
    std::error_code ec;
    exe = Utf8Of(std::filesystem::read_symlink("/proc/self/exe", ec));
    if (ec) exe.clear();
#endif
    const size_t slash = exe.rfind('/');
    return slash == std::string::npos ? std::string(".") : exe.substr(0, slash == 0 ? 1 : slash);
}

std::tm LocalTime(std::time_t t) {
    std::tm local{};
    ::localtime_r(&t, &local);
    return local;
}

}  // namespace mw::platform
#endif
