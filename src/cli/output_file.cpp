#include "cli/output_file.h"

#include <iostream>

#include "util/atomic_file.h"

namespace mw {

bool WriteOutputFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::string error;
    if (ReplaceFile(path, bytes, FileOwner{}, SystemFileOps(), error)) return true;
    std::cerr << "marlwick-cli: cannot write " << path << ": " << error << "\nIt was left as it was.\n";
    return false;
}

}  // namespace mw
