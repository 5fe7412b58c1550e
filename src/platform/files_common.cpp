#include "platform/files_common.h"

#include <cctype>

#include "platform/files.h"

namespace mw::platform {

std::optional<std::vector<uint8_t>> ReadUpTo(int64_t sizeHint, int64_t limit,
                                             const std::function<int64_t(uint8_t* into, size_t size)>& read,
                                             std::string& error) {
    std::vector<uint8_t> data;
    if (sizeHint > 0 && sizeHint <= limit) data.reserve(static_cast<size_t>(sizeHint));
    uint8_t buffer[65536];
    while (static_cast<int64_t>(data.size()) <= limit) {
        const int64_t n = read(buffer, sizeof buffer);
        if (n < 0) return std::nullopt;
        if (n == 0) break;
        data.insert(data.end(), buffer, buffer + n);
    }
    if (static_cast<int64_t>(data.size()) > limit) {
        error = "it is larger than " + std::to_string(limit) + " bytes";
        return std::nullopt;
    }
    return data;
}

std::string LowerCaseExtension(const std::string& utf8) {
    std::string ext = Utf8Of(PathOf(utf8).extension());
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

}  // namespace mw::platform
