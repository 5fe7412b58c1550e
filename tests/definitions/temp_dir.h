#pragma once
// A scratch directory for definition files, removed when the test ends.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace mw::test {

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "mw_defs_XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string path() const { return path_.string(); }

    // Writes `text` byte for byte (no line-ending translation).
    void write(const std::string& name, const std::string& text) const {
        std::ofstream out(path_ / name, std::ios::binary | std::ios::trunc);
        out << text;
    }
    void remove(const std::string& name) const { std::filesystem::remove(path_ / name); }

private:
    std::filesystem::path path_;
};

}  // namespace mw::test
