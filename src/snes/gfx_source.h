#pragma once
// Where a compressed graphics file is read from, and what its decompression
// gives. Both decompressors read the ROM image byte by byte through
// GfxReader, which never reads outside the image: a stream that runs off its
// end stops with an error naming the file and the offset.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace mw {

struct GfxSource {
    std::span<const uint8_t> image;  // the ROM image (no copier header)
    int64_t start = 0;               // where the file's data begins in the image
    int fileNumber = 0;              // for messages
    int64_t fileBase = 0;            // the image's place in the file on disk, for messages
};

struct GfxFile {
    std::vector<uint8_t> bytes;  // the decompressed data (as far as it got, on error)
    std::string error;           // empty when the stream decoded cleanly
    bool ok() const { return error.empty(); }
};

class GfxReader {
public:
    GfxReader(const GfxSource& source, const char* format) : src_(source), format_(format), pos_(source.start) {}
    // The next byte; false (and error() set) at the end of the image. The
    // read goes on across a bank's end, as the game's reader does.
    bool next(uint8_t& out) {
        if (pos_ < 0 || pos_ >= static_cast<int64_t>(src_.image.size())) {
            if (error_.empty()) fail("the data runs past the end of the ROM", pos_);
            return false;
        }
        out = src_.image[static_cast<size_t>(pos_++)];
        return true;
    }
    int64_t position() const { return pos_; }
    // Records the first failure: "graphics file 4F (LZ1 at 0x0B0200): <what> at offset 0x0B0345".
    void fail(const std::string& what, int64_t imageOffset);
    const std::string& error() const { return error_; }

private:
    const GfxSource& src_;
    const char* format_;
    int64_t pos_;
    std::string error_;
};

}  // namespace mw
