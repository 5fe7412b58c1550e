#include "snes/lz1.h"

namespace mw {

GfxFile DecompressLz1(const GfxSource& source, size_t capacity) {
    GfxReader in(source, "LZ1");
    GfxFile out;
    std::vector<uint8_t> buf(capacity, 0);
    size_t n = 0;
    auto finish = [&]() {
        buf.resize(n);
        out.bytes = std::move(buf);
        out.error = in.error();
        return std::move(out);
    };
    for (;;) {
        const int64_t at = in.position();
        uint8_t b = 0;
        if (!in.next(b)) return finish();
        if (b == 0xFF) return finish();
        int cmd = b >> 5;
        size_t len = (b & 0x1F) + 1u;
        if (cmd == 7) {
            uint8_t low = 0;
            if (!in.next(low)) return finish();
            cmd = (b >> 2) & 7;
            len = (static_cast<size_t>(b & 3) << 8 | low) + 1;
        }
        if (len > capacity - n) {
            in.fail("a command would write past the " + std::to_string(capacity) + "-byte buffer", at);
            return finish();
        }
        uint8_t v = 0, w = 0;
        switch (cmd) {
        case 0:
            for (size_t i = 0; i < len; ++i) {
                if (!in.next(v)) return finish();
                buf[n++] = v;
            }
            break;
        case 1:
            if (!in.next(v)) return finish();
            for (size_t i = 0; i < len; ++i) buf[n++] = v;
            break;
        case 2:
            if (!in.next(v) || !in.next(w)) return finish();
            for (size_t i = 0; i < len; ++i) buf[n++] = (i & 1) ? w : v;
            break;
        case 3:
            if (!in.next(v)) return finish();
            for (size_t i = 0; i < len; ++i) buf[n++] = static_cast<uint8_t>(v + i);
            break;
        default: {
            if (!in.next(v) || !in.next(w)) return finish();
            const size_t from = static_cast<size_t>(v) << 8 | w;
            if (from + len > capacity) {
                in.fail("a copy reaches past the " + std::to_string(capacity) + "-byte buffer", at);
                return finish();
            }
            for (size_t i = 0; i < len; ++i) buf[n++] = buf[from + i];
            break;
        }
        }
    }
}

}  // namespace mw
