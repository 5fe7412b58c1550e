#include <gtest/gtest.h>

#include <random>

#include "editing/hit_test.h"
#include "editing/multi_select.h"
#include "support/rom_builder.h"
#include "view/view_geometry.h"

namespace mw {
namespace {

// The band takes exactly the selectable entries that have a pixel of their
// box inside it, checked pixel by pixel on small random views; cross-section
// mode hides the backdrop object (07) from it.
TEST(MultiSelect, BandTakesWhatItTouches) {
    const auto defs = test::SmallDefinitions();
    std::mt19937 rng(7);
    size_t touched = 0;
    auto pick = [&](int lo, int hi) { return lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1)); };
    for (int round = 0; round < 300; ++round) {
        ViewState view;
        view.zoom = 4;
        view.viewWidth = 64;
        view.viewHeight = 48;
        view.hsc.value = pick(0, 20);
        view.vsc.value = pick(0, 10);
        LevelState level;
        for (int k = pick(0, 12); k > 0; --k) {
            const int w = pick(1, 6) * (pick(0, 3) ? 1 : -1), h = pick(1, 6) * (pick(0, 3) ? 1 : -1);
            const int x = view.scrollX() + pick(-4, 18), y = view.scrollY() + pick(-4, 14);
            level.objectList.push_back(pick(0, 4) ? MakeObject(static_cast<uint8_t>(pick(1, 7)), x, y, w, h)
                                                  : MakeSprite(0x1E, x, y));
        }
        view.options.crossSection = pick(0, 1);
        RebuildVisibleList(level, view);
        const int x0 = pick(-5, 70), y0 = pick(-5, 50), x1 = pick(-5, 70), y1 = pick(-5, 50);
        std::vector<int> expected;
        for (const int i : SelectableEntries(level, defs, view)) {
            bool touched = false;
            for (int px = std::min(x0, x1); px <= std::max(x0, x1) && !touched; ++px)
                for (int py = std::min(y0, y1); py <= std::max(y0, y1) && !touched; ++py)
                    touched = BoxHolds(view, level.objectList[static_cast<size_t>(i)], float(px), float(py));
            if (touched) expected.push_back(i);
        }
        EXPECT_EQ(EntriesInBand(level, defs, view, float(x0), float(y0), float(x1), float(y1)), expected);
        touched += expected.size();
        for (const int i : SelectableEntries(level, defs, view)) {
            const LevelObject& e = level.objectList[static_cast<size_t>(i)];
            EXPECT_FALSE(view.options.crossSection && e.id == 7 && !e.isSprite);
        }
    }
    EXPECT_GT(touched, 200u);  // the generator must make bands that take something
}

// A clamped group move keeps every origin in the level, moves as far as the
// request where that fits, and never moves against the request.
TEST(MultiSelect, GroupOffsetKeepsEveryEntryInTheLevel) {
    std::mt19937 rng(3);
    auto pick = [&](int lo, int hi) { return lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1)); };
    for (int round = 0; round < 2000; ++round) {
        std::vector<LevelObject> group;
        for (int k = pick(1, 5); k > 0; --k) group.push_back(MakeObject(1, pick(0, 255), pick(0, pick(0, 1) ? 127 : 255)));
        const int dx = pick(-300, 300), dy = pick(-300, 300);
        const TileOffset to = ClampGroupOffset(group, dx, dy);
        bool fits = true;
        for (const LevelObject& e : group) {
            const int x = e.x + to.dx, y = e.y + to.dy;
            EXPECT_TRUE(x >= 0 && x <= 255 && y >= 0) << x << "," << y;
            EXPECT_TRUE(y <= std::max(127, int(e.y)));
            fits = fits && e.x + dx >= 0 && e.x + dx <= 255 && e.y + dy >= 0 && e.y + dy <= std::max(127, int(e.y));
        }
        if (fits) {
            EXPECT_EQ(to, (TileOffset{dx, dy}));
        }
        EXPECT_TRUE(to.dx * dx >= 0 && std::abs(to.dx) <= std::abs(dx));
        EXPECT_TRUE(to.dy * dy >= 0 && std::abs(to.dy) <= std::abs(dy));
    }
}

// Copied entries keep their kinds, order and shapes and come back at the
// paste tile (or as near as the level allows); unknown IDs are refused.
TEST(MultiSelect, ClipboardTextPutsTheGroupAtTheTile) {
    const auto defs = test::SmallDefinitions();
    const std::vector<LevelObject> group = {MakeObject(1, 20, 10, 3, -2), MakeSprite(0x1E, 25, 12),
                                            MakeObject(2, 22, 14, 4, 4), MakeSprite(0x1F0, 21, 11)};
    const std::string text = ClipboardText(group);
    std::vector<LevelObject> placed;
    ASSERT_EQ(EntriesFromClipboard(text, defs, 100, 50, placed), std::nullopt);
    ASSERT_EQ(placed.size(), group.size());
    for (size_t k = 0; k < group.size(); ++k) {
        LevelObject want = group[k];
        want.x = static_cast<uint8_t>(want.x + 80);
        want.y = static_cast<uint8_t>(want.y + 40);
        EXPECT_EQ(placed[k], want);
    }
    // At the level's corner the group keeps its shape and stays inside.
    ASSERT_EQ(EntriesFromClipboard(text, defs, 255, 127, placed), std::nullopt);
    EXPECT_EQ(placed[1].x, 255);  // the rightmost origin
    EXPECT_EQ(placed[2].y, 127);  // the lowest origin
    EXPECT_EQ(placed[0].x, 250);

    auto other = defs;
    other.spriteDefs[0x1F0].name.clear();
    placed = group;
    const auto why = EntriesFromClipboard(text, other, 0, 0, placed);
    ASSERT_TRUE(why);
    EXPECT_NE(why->find("objects[3]: sprite 1F0 is not in the definition files"), std::string::npos) << *why;
    EXPECT_EQ(placed, group);
    EXPECT_TRUE(EntriesFromClipboard("Yoshi", defs, 0, 0, placed).has_value());
}

}  // namespace
}  // namespace mw
