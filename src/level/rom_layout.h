#pragma once
// Where things lie in a ".smc" file: a copier header, then the LoROM image.
#include <cstdint>

namespace mw {

// The copier header in front of the image.
constexpr int64_t kCopierHeaderSize = 0x200;
// The image of 1.0 (U): 2 MiB.
constexpr int64_t kImageSize = 0x200000;
// Where the internal header lies in the image (after any copier header).
constexpr int64_t kInternalHeaderInImage = 0x7FC0;

}  // namespace mw
