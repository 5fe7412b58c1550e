#include "util/atomic_file.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <random>

namespace mw {

bool FileOps::write(platform::NativeFile file, const uint8_t* data, size_t size, std::string& error) {
    return platform::WriteAll(file, data, size, error);
}

bool FileOps::flush(platform::NativeFile file, std::string& error) { return platform::FlushFile(file, error); }

bool FileOps::rename(const std::string& from, const std::string& to, std::string& error) {
    return platform::RenameOver(from, to, error);
}

FileOps& SystemFileOps() {
    static FileOps ops;
    return ops;
}

namespace {

#ifdef _WIN32
constexpr const char* kSeparators = "/\\";
#else
constexpr const char* kSeparators = "/";
#endif

// The folder part of `path` ("." when none) and its name.
std::pair<std::string, std::string> Split(const std::string& path) {
    const size_t cut = path.find_last_of(kSeparators);
    if (cut == std::string::npos) return {".", path};
    return {cut == 0 ? path.substr(0, 1) : path.substr(0, cut), path.substr(cut + 1)};
}

constexpr const char* kTempMark = ".marlwick-";
constexpr const char* kTempEnd = ".tmp";

std::string RandomSuffix() {
    static std::atomic<uint64_t> counter{0};
    std::mt19937_64 random(static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                           (++counter * 0x9E3779B97F4A7C15ull) ^ std::random_device{}());
    static constexpr char kDigits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string s(8, 'a');
    for (char& c : s) c = kDigits[random() % (sizeof kDigits - 1)];
    return s;
}

// The process id in a temporary file's name made for `name` (any name when
// empty), or nullopt when it is no such name.
std::optional<int> TempOwner(const std::string& file, const std::string& name) {
    const size_t mark = file.rfind(kTempMark);
    if (file.empty() || file[0] != '.' || mark == std::string::npos || mark < 2) return std::nullopt;
    if (!name.empty() && file.compare(1, mark - 1, name) != 0) return std::nullopt;
    if (file.size() < 4 || file.compare(file.size() - 4, 4, kTempEnd) != 0) return std::nullopt;
    const size_t start = mark + std::string(kTempMark).size();
    const size_t dash = file.find('-', start);
    if (dash == std::string::npos || dash == start || dash - start > 9) return std::nullopt;
    int pid = 0;
    for (size_t k = start; k < dash; ++k) {
        if (file[k] < '0' || file[k] > '9') return std::nullopt;
        pid = pid * 10 + (file[k] - '0');
    }
    return pid;
}

}  // namespace

bool ReplaceFile(const std::string& path, const std::vector<uint8_t>& bytes, const FileOwner& owner, FileOps& ops,
                 std::string& error) {
    // Only a regular file is replaced: a rename over a device, a FIFO or a
    // folder's entry would swap the node itself (as root, even /dev/full).
    if (platform::Inspect(path).kind == platform::Kind::Other) {
        error = "it is not a regular file";
        return false;
    }
    const auto [folder, name] = Split(path);
    const std::string prefix = folder + "/." + name + kTempMark + std::to_string(platform::CurrentProcessId()) + "-";
    std::string temp, why;
    std::optional<platform::NativeFile> file;
    for (int tries = 0; !file && tries < 100; ++tries) {
        temp = prefix + RandomSuffix() + kTempEnd;
        bool exists = false;
        file = platform::CreateNewFile(temp, exists, why);
        if (!file && !exists) break;
    }
    if (!file) {
        error = "creating a temporary file in " + folder + " failed: " + why;
        return false;
    }
    auto fail = [&](const std::string& step) {
        error = step.empty() ? why : step + " failed: " + why;
        if (file) platform::CloseFile(*file, why);
        platform::RemoveFile(temp);
        return false;
    };
    if (!platform::SetPermissions(*file, owner.mode, owner.uid, owner.gid, why)) return fail("");
    if (!ops.write(*file, bytes.data(), bytes.size(), why)) return fail("writing the temporary file");
    if (!ops.flush(*file, why)) return fail("flushing the temporary file to the disk");
    const bool closed = platform::CloseFile(*file, why);
    file.reset();
    if (!closed) return fail("closing the temporary file");
    if (!ops.rename(temp, path, why)) return fail("renaming the temporary file over " + path);
    // The rename is the change; flushing the folder only makes it survive a
    // power cut sooner, so its failure changes nothing that was done.
    platform::FlushFolder(folder);
    return true;
}

std::string WriteTarget(const std::string& path) { return platform::FollowLinks(path); }

int RemoveStaleTemporaryFiles(const std::string& folder, const std::string& name) {
    namespace fs = std::filesystem;
    std::error_code ec;
    int removed = 0;
    const int self = platform::CurrentProcessId();
    for (fs::directory_iterator it(platform::PathOf(folder), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string file = platform::Utf8Of(it->path().filename());
        const std::optional<int> pid = TempOwner(file, name);
        if (!pid || *pid == self || platform::ProcessIsRunning(*pid)) continue;
        std::error_code kind;
        if (it->is_regular_file(kind) && platform::RemoveFile(folder + "/" + file)) ++removed;
    }
    return removed;
}

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path, bool& missing, std::string& error,
                                                  int64_t limit) {
    return platform::ReadRegularFile(path, limit, missing, error);
}

}  // namespace mw
