#include "cli/cli_files.h"

#include <iostream>

#include "level/rom_file.h"
#include "level/rom_identity.h"
#include "util/atomic_file.h"

namespace mw {

bool OpenCommandRom(const std::string& path, RomFile& rom) {
    std::string error;
    if (!rom.open(path, error)) {
        std::cerr << "marlwick-cli: cannot open " << path << ": " << error << "\n";
        return false;
    }
    // Nobody is there to say whether a ROM deleted meanwhile is to be written anew.
    rom.setWritingAnewAllowed(false);
    if (IsHeaderlessDump(rom.bytes())) {
        std::cerr << "marlwick-cli: " << HeaderlessDumpNotice(path) << "\n" << kDumpAdvice << "\n";
        return false;
    }
    return true;
}

bool WriteOutputFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::string error;
    // Like the editor's saves, a write through a link changes the link's target.
    if (ReplaceFile(WriteTarget(path), bytes, FileOwner{}, SystemFileOps(), error)) return true;
    std::cerr << "marlwick-cli: cannot write " << path << ": " << error << "\nIt was left as it was.\n";
    return false;
}

}  // namespace mw
