#include "snes/gfx_source.h"

#include "util/hex_text.h"

namespace mw {

namespace {
std::string Offset(int64_t fileOffset) {
    std::string s = ToHex(static_cast<uint32_t>(fileOffset));
    return "0x" + std::string(s.size() < 6 ? 6 - s.size() : 0, '0') + s;
}
}  // namespace

void GfxReader::fail(const std::string& what, int64_t imageOffset) {
    if (!error_.empty()) return;
    error_ = "graphics file " + ToHex(static_cast<uint32_t>(src_.fileNumber)) + " (" + format_ + " at " +
             Offset(src_.start + src_.fileBase) + "): " + what + " at offset " + Offset(imageOffset + src_.fileBase);
}

}  // namespace mw
