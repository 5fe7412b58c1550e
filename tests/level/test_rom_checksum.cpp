// The internal header's checksum: computed over the image after the copier
// header with the checksum bytes counted as FF FF 00 00.
#include <gtest/gtest.h>

#include <random>

#include "level/rom_checksum.h"

namespace mw {
namespace {

// The sum as the reference states it, written independently of the code.
uint16_t NaiveSum(std::vector<uint8_t> file) {
    file[0x81DC] = 0xFF;
    file[0x81DD] = 0xFF;
    file[0x81DE] = 0x00;
    file[0x81DF] = 0x00;
    uint16_t sum = 0;
    for (size_t k = 0x200; k < file.size(); ++k) sum = static_cast<uint16_t>(sum + file[k]);
    return sum;
}

TEST(RomChecksum, RandomImagesGetTheReferenceSumAndAnyImageByteBreaksIt) {
    std::mt19937 rng(7);
    for (size_t size : {size_t{0x81E0}, size_t{0x10200}, size_t{0x200200}}) {
        std::vector<uint8_t> file(size);
        for (auto& b : file) b = static_cast<uint8_t>(rng());
        EXPECT_EQ(ComputeChecksum(file), NaiveSum(file));
        EXPECT_FALSE(ChecksumIsRight(file));  // random bytes: right only by a 1 in 2^32 chance

        ASSERT_TRUE(WriteChecksum(file));
        EXPECT_TRUE(ChecksumIsRight(file));
        const uint16_t sum = static_cast<uint16_t>(file[0x81DE] | file[0x81DF] << 8);
        const uint16_t complement = static_cast<uint16_t>(file[0x81DC] | file[0x81DD] << 8);
        EXPECT_EQ(sum, NaiveSum(file));
        EXPECT_EQ(sum ^ complement, 0xFFFF);

        // The copier header does not count; every image byte does.
        std::vector<uint8_t> header = file;
        header[rng() % 0x200] ^= 0x5A;
        EXPECT_TRUE(ChecksumIsRight(header));
        std::vector<uint8_t> image = file;
        size_t at = 0x200 + rng() % (size - 0x200);
        if (at >= 0x81DC && at < 0x81E0) at = 0x200;
        image[at] ^= 0x01;
        EXPECT_FALSE(ChecksumIsRight(image));
        ASSERT_TRUE(WriteChecksum(image));
        EXPECT_TRUE(ChecksumIsRight(image));
    }
}

TEST(RomChecksum, FileTooShortForTheInternalHeaderHasNone) {
    std::vector<uint8_t> file(0x81DF, 0xFF);
    EXPECT_EQ(ComputeChecksum(file), std::nullopt);
    EXPECT_FALSE(ChecksumIsRight(file));
    EXPECT_FALSE(WriteChecksum(file));
    EXPECT_EQ(file, std::vector<uint8_t>(0x81DF, 0xFF));
}

}  // namespace
}  // namespace mw
