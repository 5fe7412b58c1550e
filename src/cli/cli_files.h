#pragma once
// The files marlwick-cli reads (the ROM) and writes (the demo ROM, rendered
// PNGs).
#include <cstdint>
#include <string>
#include <vector>

namespace mw {

class RomFile;

// What a command says after the notice about a dump without the copier
// header: it reads no level from such a file.
inline constexpr const char* kDumpAdvice =
    "Open it in marlwick to write a copy with that header, and read the copy.\nThe level was not loaded.";

// Opens the ROM a command works on. A dump without the copier header is
// refused: its levels lie 0x200 bytes from where they are looked for, so
// reading them would show garbage and writing them would corrupt the dump.
// On failure says on standard error which file and why, and returns false.
bool OpenCommandRom(const std::string& path, RomFile& rom);

// Replaces (or creates) `path` with `bytes` through a temporary file beside
// it, so that a failed or short write leaves what was there. On failure says
// on standard error which file and why, and returns false.
bool WriteOutputFile(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace mw
