// Telling 1.0 (U) from other ROMs, and headerless dumps from ".smc" files.
#include <gtest/gtest.h>

#include "level/demo_rom.h"
#include "level/rom_identity.h"
#include "support/rom_builder.h"

namespace mw {
namespace {

constexpr int64_t kHeaderAt = 0x200 + kInternalHeaderInImage;

TEST(RomIdentity, OneWarningNamesEverythingThatDiffersFromUs) {
    struct Case {
        const char* name;
        std::vector<std::pair<int, uint8_t>> changes;  // offset in the internal header, new byte
        std::vector<const char*> named;                // empty: no warning
    };
    const Case cases[] = {
        {"1.0 (U)", {}, {}},
        {"other cartridge type and developer", {{22, 0x13}, {26, 0x01}}, {}},
        {"title", {{0, 'Z'}}, {"title is \"ZOSHI'S ISLAND\""}},
        {"size code", {{23, 0x0A}}, {"size code is A"}},
        {"region", {{25, 0x00}}, {"region is 0"}},
        {"version 1.1 in Europe", {{25, 0x02}, {27, 0x01}}, {"region is 2", "version is 1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::RomImage rom;
        for (auto [at, byte] : c.changes) rom.bytes[kHeaderAt + at] = byte;
        const auto warning = RomIdentityWarning(rom.bytes);
        ASSERT_EQ(warning.has_value(), !c.named.empty()) << warning.value_or("");
        for (const char* part : c.named) EXPECT_NE(warning->find(part), std::string::npos) << *warning;
    }
    const std::vector<uint8_t> text = {'h', 'e', 'l', 'l', 'o', '\n'};
    EXPECT_NE(RomIdentityWarning(text).value_or("").find("too small (6 bytes)"), std::string::npos);
    EXPECT_EQ(RomIdentityWarning(test::ShippedDemoRom()), std::nullopt);
}

TEST(RomIdentity, HeaderlessDumpsAreTwoMiBWithTheirInternalHeaderAt7FC0) {
    const std::vector<uint8_t> smc = test::ShippedDemoRom();
    const std::vector<uint8_t> dump(smc.begin() + 0x200, smc.end());
    EXPECT_TRUE(IsHeaderlessDump(dump));
    EXPECT_FALSE(IsHeaderlessDump(smc));
    std::vector<uint8_t> other = dump;
    other[kInternalHeaderInImage + 21] = 0x30;  // fast LoROM: still a header
    EXPECT_TRUE(IsHeaderlessDump(other));
    other[kInternalHeaderInImage + 21] = 0x21;  // HiROM: not where its header would be
    EXPECT_FALSE(IsHeaderlessDump(other));
    EXPECT_FALSE(IsHeaderlessDump(std::vector<uint8_t>(kImageSize, 0x00)));
}

}  // namespace
}  // namespace mw
