#pragma once
// The files marlwick-cli reads (the ROM) and writes (the demo ROM, rendered
// PNGs).
#include <cstdint>
#include <string>
#include <vector>

namespace mw {

class RomFile;

// Opens the ROM a command works on, in either layout (see RomFile). On
// failure says on standard error which file and why, and returns false.
bool OpenCommandRom(const std::string& path, RomFile& rom);

// Replaces (or creates) `path` with `bytes` through a temporary file beside
// it, so that a failed or short write leaves what was there. On failure says
// on standard error which file and why, and returns false.
bool WriteOutputFile(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace mw
