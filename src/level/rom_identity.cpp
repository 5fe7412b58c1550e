#include "level/rom_identity.h"

#include <filesystem>

#include "util/hex_text.h"

namespace mw {

namespace {

// Offsets inside the internal header.
constexpr int kMapMode = 21, kSizeCode = 23, kRegion = 25, kVersion = 27;

bool PlausibleHeaderAt(const std::vector<uint8_t>& file, int64_t at) {
    if (at + static_cast<int64_t>(UsInternalHeader().size()) > static_cast<int64_t>(file.size())) return false;
    for (int64_t k = 0; k < kInternalHeaderTitleLength; ++k)
        if (file[at + k] < 0x20 || file[at + k] > 0x7E) return false;
    return (file[at + kMapMode] & 0xEF) == 0x20;  // LoROM, slow or fast
}

std::string TitleText(const std::vector<uint8_t>& file, int64_t at) {
    std::string title;
    for (int64_t k = 0; k < kInternalHeaderTitleLength; ++k) {
        const uint8_t c = file[at + k];
        title += (c >= 0x20 && c <= 0x7E) ? static_cast<char>(c) : '?';
    }
    while (!title.empty() && title.back() == ' ') title.pop_back();
    return title;
}

}  // namespace

const std::array<uint8_t, 28>& UsInternalHeader() {
    static const std::array<uint8_t, 28> bytes = [] {
        std::array<uint8_t, 28> b{};
        const std::string title = "YOSHI'S ISLAND";
        for (int k = 0; k < kInternalHeaderTitleLength; ++k)
            b[k] = k < static_cast<int>(title.size()) ? static_cast<uint8_t>(title[k]) : ' ';
        const uint8_t rest[] = {0x20, 0x15, 0x0B, 0x00, 0x01, 0x33, 0x00};
        std::copy(std::begin(rest), std::end(rest), b.begin() + kInternalHeaderTitleLength);
        return b;
    }();
    return bytes;
}

void PutUsInternalHeader(std::vector<uint8_t>& smcFile) {
    const auto& h = UsInternalHeader();
    std::copy(h.begin(), h.end(), smcFile.begin() + kCopierHeaderSize + kInternalHeaderInImage);
}

std::optional<std::string> RomIdentityWarning(const std::vector<uint8_t>& smcFile) {
    const auto& us = UsInternalHeader();
    const int64_t at = kCopierHeaderSize + kInternalHeaderInImage;
    std::string differs;
    if (at + static_cast<int64_t>(us.size()) > static_cast<int64_t>(smcFile.size())) {
        differs = "the file is too small (" + std::to_string(smcFile.size()) + " bytes) to hold the game's internal header";
    } else {
        auto add = [&](const std::string& what) { differs += (differs.empty() ? "" : "; ") + what; };
        if (!std::equal(us.begin(), us.begin() + kInternalHeaderTitleLength, smcFile.begin() + at))
            add("its title is \"" + TitleText(smcFile, at) + "\", not \"YOSHI'S ISLAND\"");
        auto field = [&](int offset, const char* name, const std::string& expected) {
            if (smcFile[at + offset] != us[offset])
                add(std::string("its ") + name + " is " + ToHex(smcFile[at + offset]) + ", not " + expected);
        };
        field(kSizeCode, "size code", "B (2 MiB)");
        field(kRegion, "region", "1 (North America)");
        field(kVersion, "version", "0 (1.0)");
    }
    if (differs.empty()) return std::nullopt;
    return "This ROM does not look like Yoshi's Island 1.0 (U): " + differs +
           ".\nIts levels may not load properly.";
}

bool IsHeaderlessDump(const std::vector<uint8_t>& file) {
    return static_cast<int64_t>(file.size()) == kImageSize && PlausibleHeaderAt(file, kInternalHeaderInImage);
}

std::vector<uint8_t> WithCopierHeader(const std::vector<uint8_t>& dump) {
    std::vector<uint8_t> file(kCopierHeaderSize + dump.size(), 0x00);
    std::copy(dump.begin(), dump.end(), file.begin() + kCopierHeaderSize);
    return file;
}

}  // namespace mw
