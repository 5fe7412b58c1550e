#include "patch/patch.h"

#include <cstring>

#include "platform/files.h"

namespace mw {

std::optional<PatchFormat> PatchFormatOf(const std::string& path) {
    const std::string ext = platform::LowerCaseExtension(path);
    if (ext == ".bps") return PatchFormat::Bps;
    if (ext == ".ips") return PatchFormat::Ips;
    return std::nullopt;
}

const char* PatchFormatName(PatchFormat format) { return format == PatchFormat::Bps ? "BPS" : "IPS"; }

PatchOutcome MakePatch(PatchFormat format, const std::vector<uint8_t>& original, const std::vector<uint8_t>& modified) {
    if (static_cast<int64_t>(original.size()) > kMaxPatchImage || static_cast<int64_t>(modified.size()) > kMaxPatchImage)
        return {{}, "the files are larger than 16 MiB"};
    PatchOutcome made;
    if (format == PatchFormat::Bps)
        made.bytes = CreateBps(original, modified);
    else
        made = CreateIps(original, modified);
    if (!made.ok()) return made;
    // Handed out only when it gives the modified file.
    const PatchOutcome check = ApplyPatch(original, made.bytes);
    if (!check.ok() || check.bytes != modified)
        return {{}, "internal error: the patch made does not give the modified file when applied" +
                        (check.ok() ? std::string() : " (" + check.error + ")")};
    return made;
}

PatchOutcome ApplyPatch(const std::vector<uint8_t>& original, const std::vector<uint8_t>& patch) {
    if (patch.size() >= 4 && std::memcmp(patch.data(), "BPS1", 4) == 0) return ApplyBps(original, patch);
    if (patch.size() >= 5 && std::memcmp(patch.data(), "PATCH", 5) == 0) return ApplyIps(original, patch);
    return {{}, "it is neither a BPS nor an IPS patch"};
}

}  // namespace mw
