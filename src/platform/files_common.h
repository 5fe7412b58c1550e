#pragma once
// What the systems' file code shares (for src/platform only).
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace mw::platform {

// Reads a file to its end through `read`, which fills up to `size` bytes at
// `into` and returns how many it read (0 at the end), or -1 with `error`
// set. `sizeHint` is what the file says its size is. At most one buffer
// more than `limit` is read, should the file be larger than it said; a
// longer file is refused.
std::optional<std::vector<uint8_t>> ReadUpTo(int64_t sizeHint, int64_t limit,
                                             const std::function<int64_t(uint8_t* into, size_t size)>& read,
                                             std::string& error);

}  // namespace mw::platform
