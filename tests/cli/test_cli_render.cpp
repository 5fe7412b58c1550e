// marlwick-cli render with the level's tiles: the pictures it writes.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QImage>
#include <set>

#include "level/level_codec.h"
#include "map/level_tiles.h"
#include "support/rom_builder.h"
#include "view/view_geometry.h"

namespace mw {
namespace {

int RunCli(const std::string& args) {
    const std::string cmd = std::string(MW_CLI_PATH) + " " + args + " --defs " MW_DATA_DIR " >/dev/null 2>&1";
    const int st = std::system(cmd.c_str());
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

uint32_t Pixel(const QImage& image, int x, int y) { return image.pixel(x, y) | 0xFF000000u; }

TEST(CliRender, TilesUnderTheBoxesTilesOnlyAndBoxesOnly) {
    test::TempDir dir;
    const std::string rom = dir.file("demo.smc");
    test::WriteFileBytes(rom, test::ShippedDemoRom());
    const std::string base = "render " + rom + " --level 0 --width 512 --height 384 ";
    ASSERT_EQ(RunCli(base + "--out " + dir.file("both.png")), 0);
    ASSERT_EQ(RunCli(base + "--tiles-only --x 0 --y 0 --out " + dir.file("tiles.png")), 0);
    ASSERT_EQ(RunCli(base + "--tiles-only --x 3 --y 5 --out " + dir.file("moved.png")), 0);
    ASSERT_EQ(RunCli(base + "--boxes-only --out " + dir.file("boxes.png")), 0);
    const QImage both(QString::fromStdString(dir.file("both.png"))), tilesOnly(QString::fromStdString(dir.file("tiles.png"))),
        moved(QString::fromStdString(dir.file("moved.png"))), boxes(QString::fromStdString(dir.file("boxes.png")));
    ASSERT_EQ(both.size(), QSize(512, 384));

    // What the pictures should hold, from the core.
    RomFile file;
    std::string error;
    ASSERT_TRUE(file.open(rom, error)) << error;
    RecordingPrompter quiet;
    LevelState level;
    ASSERT_EQ(test::TakeLoad(LoadLevelIndex(file, test::ShippedDefinitions(), 0), quiet, level), LoadResult::Loaded);
    LevelTiles tiles;
    tiles.update(file, test::ShippedDefinitions(), level);
    ASSERT_TRUE(tiles.available());
    const Argb sky = tiles.background();
    const Argb* ground = tiles.tiles().tile(0x0100, 16);

    // Level 0's first land object fills from row 17 down at the left; the sky above.
    const int gx = 2 * 16, gy = 20 * 16;
    for (const QImage* image : {&both, &tilesOnly}) {
        EXPECT_EQ(Pixel(*image, gx + 5, gy + 7), ground[7 * 16 + 5]);
        EXPECT_EQ(Pixel(*image, 40, 40), sky);
    }
    EXPECT_NE(Pixel(boxes, gx + 5, gy + 7), ground[7 * 16 + 5]) << "boxes only: the box's fill, no tiles";

    // Tiles only: nothing but the colours of the tiles and the sky (no box,
    // grid or label colours).
    std::set<uint32_t> allowed = {sky};
    for (uint16_t n : {0x0000, 0x0100, 0x0101, 0x0102, 0x0103, 0x0104, 0x0105, 0x0106, 0x0107, 0x0108, 0x0109, 0x010A}) {
        const Argb* p = tiles.tiles().tile(n, 16);
        allowed.insert(p, p + 256);
    }
    int stray = 0;
    for (int y = 0; y < tilesOnly.height(); ++y)
        for (int x = 0; x < tilesOnly.width(); ++x) stray += allowed.count(Pixel(tilesOnly, x, y)) == 0;
    EXPECT_EQ(stray, 0);

    // --x 3 --y 5: the same picture, 3 tiles left and 5 up.
    int differ = 0;
    for (int y = 0; y + 5 * 16 < 384; y += 3)
        for (int x = 0; x + 3 * 16 < 512; x += 3) differ += Pixel(moved, x, y) != Pixel(tilesOnly, x + 48, y + 80);
    EXPECT_EQ(differ, 0);

    // The whole level at the game's own pixel size.
    ASSERT_EQ(RunCli("render " + rom + " --level 0 --zoom 16 --x 0 --y 0 --width 4096 --height 2048 --tiles-only --out " +
                     dir.file("whole.png")),
              0);
    EXPECT_EQ(QImage(QString::fromStdString(dir.file("whole.png"))).size(), QSize(4096, 2048));
    // Options that do not fit.
    EXPECT_EQ(RunCli(base + "--tiles-only --boxes-only --out " + dir.file("x.png")), 2);
    EXPECT_EQ(RunCli(base + "--x 3 --out " + dir.file("x.png")), 2);
    EXPECT_EQ(RunCli(base + "--x 256 --y 0 --out " + dir.file("x.png")), 2);
}

}  // namespace
}  // namespace mw
