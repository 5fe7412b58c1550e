#pragma once
// Patches between two ROM images (without the copier header): BPS, with
// checksums and relative copies, and IPS, the older record format. Making a
// patch applies it in memory and compares before handing it out; applying
// one checks everything it reads and never reads outside the patch or the
// original.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mw {

enum class PatchFormat { Bps, Ips };

// The format a patch file's name asks for: ".bps" or ".ips" (any case).
std::optional<PatchFormat> PatchFormatOf(const std::string& path);
const char* PatchFormatName(PatchFormat format);

// The largest image a patch makes or reads (the largest ROM file read).
constexpr int64_t kMaxPatchImage = 16 * 1024 * 1024;

// Either the bytes or why there are none (a sentence fragment).
struct PatchOutcome {
    std::vector<uint8_t> bytes;
    std::string error;
    bool ok() const { return error.empty(); }
};

// The patch that turns `original` into `modified`, checked by applying it.
PatchOutcome MakePatch(PatchFormat format, const std::vector<uint8_t>& original, const std::vector<uint8_t>& modified);
// `original` with `patch` applied; the format is told by the patch's own
// first bytes. A BPS patch is refused when it is damaged, or made for
// another original, or does not give the target it was made from.
PatchOutcome ApplyPatch(const std::vector<uint8_t>& original, const std::vector<uint8_t>& patch);

// The two formats on their own (MakePatch checks what these make).
std::vector<uint8_t> CreateBps(const std::vector<uint8_t>& source, const std::vector<uint8_t>& target);
PatchOutcome ApplyBps(const std::vector<uint8_t>& source, const std::vector<uint8_t>& patch);
// Refuses a target larger than 16 MiB (IPS offsets have three bytes).
PatchOutcome CreateIps(const std::vector<uint8_t>& source, const std::vector<uint8_t>& target);
PatchOutcome ApplyIps(const std::vector<uint8_t>& source, const std::vector<uint8_t>& patch);

// The CRC-32 that BPS uses.
uint32_t Crc32(const uint8_t* data, size_t size);

}  // namespace mw
