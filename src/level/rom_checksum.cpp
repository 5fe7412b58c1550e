#include "level/rom_checksum.h"

namespace mw {

std::optional<uint16_t> ComputeChecksum(const std::vector<uint8_t>& file) {
    if (static_cast<int64_t>(file.size()) < kChecksumOffset + 2) return std::nullopt;
    uint32_t sum = 0;
    for (size_t k = kCopierHeaderSize; k < file.size(); ++k) sum += file[k];
    // Count the four bytes as FF FF 00 00 whatever they hold now.
    for (int64_t k = kChecksumComplementOffset; k < kChecksumOffset + 2; ++k) sum -= file[static_cast<size_t>(k)];
    sum += 0xFF + 0xFF;
    return static_cast<uint16_t>(sum);
}

namespace {
uint16_t Word(const std::vector<uint8_t>& file, int64_t at) {
    return static_cast<uint16_t>(file[static_cast<size_t>(at)] | file[static_cast<size_t>(at) + 1] << 8);
}
void PutWord(std::vector<uint8_t>& file, int64_t at, uint16_t value) {
    file[static_cast<size_t>(at)] = static_cast<uint8_t>(value & 0xFF);
    file[static_cast<size_t>(at) + 1] = static_cast<uint8_t>(value >> 8);
}
}  // namespace

bool ChecksumIsRight(const std::vector<uint8_t>& file) {
    std::optional<uint16_t> sum = ComputeChecksum(file);
    return sum && Word(file, kChecksumOffset) == *sum && Word(file, kChecksumComplementOffset) == (*sum ^ 0xFFFF);
}

bool WriteChecksum(std::vector<uint8_t>& file) {
    std::optional<uint16_t> sum = ComputeChecksum(file);
    if (!sum) return false;
    PutWord(file, kChecksumComplementOffset, static_cast<uint16_t>(*sum ^ 0xFFFF));
    PutWord(file, kChecksumOffset, *sum);
    return true;
}

}  // namespace mw
