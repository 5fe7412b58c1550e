#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "platform/files.h"
#include "platform/files_common.h"

namespace mw::platform {

namespace {

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string Reason(DWORD code = ::GetLastError()) {
    if (code == 0) return "unknown error";
    wchar_t* text = nullptr;
    const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                         FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string out;
    if (n > 0 && text != nullptr) {
        const int len = ::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(n), nullptr, 0, nullptr, nullptr);
        out.resize(static_cast<size_t>(len));
        ::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(n), out.data(), len, nullptr, nullptr);
    }
    if (text != nullptr) ::LocalFree(text);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' ' || out.back() == '.'))
        out.pop_back();
    return out.empty() ? "system error " + std::to_string(code) : out;
}

bool IsMissing(DWORD code) { return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND; }

HANDLE Handle(NativeFile file) { return reinterpret_cast<HANDLE>(file); }

}  // namespace

FileInfo Inspect(const std::string& path) {
    FileInfo info;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data)) {
        const DWORD code = ::GetLastError();
        if (!IsMissing(code)) info.error = Reason(code);
        return info;
    }
    const bool regular = (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
    info.kind = regular ? Kind::Regular : Kind::Other;
    info.size = static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
    info.mode = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0 ? 0444 : 0644;
    return info;
}

bool IsWritable(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) != 0) return false;
    HANDLE h = ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(h);
    return true;
}

std::string FollowLinks(const std::string& path) {
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        const std::filesystem::path p = PathOf(current);
        if (!std::filesystem::is_symlink(p, ec)) return current;
        std::filesystem::path target = std::filesystem::read_symlink(p, ec);
        if (ec || target.empty()) return current;
        if (target.is_relative()) target = p.parent_path() / target;
        current = Utf8Of(target);
    }
    return current;
}

std::optional<std::vector<uint8_t>> ReadRegularFile(const std::string& path, int64_t limit, bool& missing,
                                                    std::string& error) {
    missing = false;
    // A folder cannot be opened this way, and a pipe or a device is told
    // apart by its type before anything is read.
    HANDLE h = ::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD code = ::GetLastError();
        missing = IsMissing(code);
        // Worded as on the other systems, so that messages read the same.
        error = missing ? "No such file or directory"
                        : Inspect(path).kind == Kind::Other ? "it is not a regular file" : Reason(code);
        return std::nullopt;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(h) != FILE_TYPE_DISK || !::GetFileInformationByHandle(h, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        error = "it is not a regular file";
        ::CloseHandle(h);
        return std::nullopt;
    }
    const auto size = static_cast<int64_t>((static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    std::optional<std::vector<uint8_t>> data = ReadUpTo(
        size, limit,
        [&](uint8_t* into, size_t want) -> int64_t {
            DWORD n = 0;
            if (::ReadFile(h, into, static_cast<DWORD>(want), &n, nullptr)) return n;
            error = Reason();
            return -1;
        },
        error);
    ::CloseHandle(h);
    return data;
}

std::optional<NativeFile> CreateNewFile(const std::string& path, bool& exists, std::string& error) {
    HANDLE h = ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD code = ::GetLastError();
        exists = code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS;
        error = Reason(code);
        return std::nullopt;
    }
    exists = false;
    return reinterpret_cast<NativeFile>(h);
}

bool SetPermissions(NativeFile, unsigned, std::optional<unsigned>, std::optional<unsigned>, std::string&) {
    // The new file gets the folder's permissions; a read-only file is never
    // replaced, so there is no read-only attribute to carry over.
    return true;
}

bool WriteAll(NativeFile file, const uint8_t* data, size_t size, std::string& error) {
    while (size > 0) {
        const DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
        DWORD n = 0;
        if (!::WriteFile(Handle(file), data, chunk, &n, nullptr) || n == 0) {
            error = Reason();
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

bool FlushFile(NativeFile file, std::string& error) {
    if (::FlushFileBuffers(Handle(file))) return true;
    error = Reason();
    return false;
}

bool CloseFile(NativeFile file, std::string& error) {
    if (::CloseHandle(Handle(file))) return true;
    error = Reason();
    return false;
}

bool RemoveFile(const std::string& path) { return ::DeleteFileW(Wide(path).c_str()) != 0; }

bool RenameOver(const std::string& from, const std::string& to, std::string& error) {
    if (::MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    error = Reason();
    return false;
}

void FlushFolder(const std::string&) {}

int CurrentProcessId() { return static_cast<int>(::GetCurrentProcessId()); }

bool ProcessIsRunning(int pid) {
    if (pid <= 0) return true;
    HANDLE h = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (h == nullptr) return ::GetLastError() != ERROR_INVALID_PARAMETER;
    DWORD code = 0;
    const bool running = !::GetExitCodeProcess(h, &code) || code == STILL_ACTIVE;
    ::CloseHandle(h);
    return running;
}

std::string ExecutableFolder() {
    std::wstring buffer(32768, L'\0');
    const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0 || n >= buffer.size()) return ".";
    buffer.resize(n);
    return Utf8Of(std::filesystem::path(buffer).parent_path());
}

std::tm LocalTime(std::time_t t) {
    std::tm local{};
    ::localtime_s(&local, &t);
    return local;
}

}  // namespace mw::platform
#endif
