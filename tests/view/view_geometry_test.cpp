#include "view/view_geometry.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

LevelObject Obj(int x, int y, int w, int h) { return MakeObject(0, x, y, w, h); }

ViewState View(float w, float h, int zoom, int sx, int sy) {
    ViewState v;
    v.viewWidth = w;
    v.viewHeight = h;
    v.zoom = zoom;
    v.hsc.value = sx;
    v.vsc.value = sy;
    return v;
}

std::vector<int16_t> Visible(const std::vector<LevelObject>& objects, ViewState v) {
    LevelState level;
    level.objectList = objects;
    RebuildVisibleList(level, v);
    return v.visibleList;
}

TEST(ViewMapping, TilesAndPixelsRoundTripWithFloorForNegativePixels) {
    const ViewState v = View(700, 400, 16, 5, 2);
    EXPECT_EQ(TileToPixelX(v, 5), 0);
    EXPECT_EQ(TileToPixelX(v, 8), 48);
    EXPECT_EQ(TileToPixelY(v, 0), -32);
    EXPECT_FLOAT_EQ(TileToPixelY(v, 2.5), 8.0f);

    EXPECT_EQ(PixelToTileX(v, 0), 5);
    EXPECT_EQ(PixelToTileX(v, 15.9f), 5);
    EXPECT_EQ(PixelToTileX(v, 16), 6);
    EXPECT_EQ(PixelToTileX(v, -1), 4);  // left of the view: the column before
    EXPECT_EQ(PixelToTileX(v, -16), 4);
    EXPECT_EQ(PixelToTileX(v, -17), 3);
    EXPECT_EQ(PixelToTileY(v, -0.5f), 1);

    // The largest coordinate of the level: a right edge of 255 + 256 tiles at zoom 64.
    EXPECT_EQ(TileToPixelX(View(700, 400, 64, 0, 0), 255 + 256), 32704);
}

TEST(ViewMapping, ExtentCoversTheTilesBeforeTheOriginForNegativeExtents) {
    EXPECT_EQ(ExtentOf(Obj(10, 5, 2, 3)), (TileExtent{10, 5, 12, 8}));
    EXPECT_EQ(ExtentOf(Obj(10, 5, -3, -2)), (TileExtent{7, 3, 10, 5}));
    EXPECT_EQ(ExtentOf(Obj(10, 5, 0, 0)), (TileExtent{10, 5, 10, 5}));
    ScreenExit exit;
    exit.screenX = 2;
    exit.screenY = 1;
    EXPECT_EQ(ScreenExtentOf(exit), (TileExtent{32, 16, 48, 32}));
}

TEST(VisibleList, InclusiveOnEverySide) {
    // 700 px at zoom 16 shows 43 whole columns; 400 px shows 25 rows.
    const ViewState v = View(700, 400, 16, 20, 10);
    EXPECT_EQ(Visible({Obj(18, 12, 2, 1)}, v).size(), 1u);   // right edge == scrollX
    EXPECT_EQ(Visible({Obj(17, 12, 2, 1)}, v).size(), 0u);   // right edge == scrollX - 1
    EXPECT_EQ(Visible({Obj(63, 12, 1, 1)}, v).size(), 1u);   // left edge scrollX + 43
    EXPECT_EQ(Visible({Obj(64, 12, 1, 1)}, v).size(), 0u);   // left edge scrollX + 44
    EXPECT_EQ(Visible({Obj(30, 9, 1, 1)}, v).size(), 1u);    // bottom edge == scrollY
    EXPECT_EQ(Visible({Obj(30, 8, 1, 1)}, v).size(), 0u);
    EXPECT_EQ(Visible({Obj(30, 35, 1, 1)}, v).size(), 1u);   // top edge scrollY + 25
    EXPECT_EQ(Visible({Obj(30, 36, 1, 1)}, v).size(), 0u);
    // A box larger than the view on every side is listed.
    EXPECT_EQ(Visible({Obj(0, 0, 200, 120)}, v).size(), 1u);
}

TEST(VisibleList, NegativeWidthReachesLeftOfItsOrigin) {
    const std::vector<LevelObject> objects{Obj(10, 0, -3, 1)};  // tile edges 7 to 10
    EXPECT_EQ(Visible(objects, View(700, 400, 16, 10, 0)).size(), 1u);
    EXPECT_EQ(Visible(objects, View(700, 400, 16, 11, 0)).size(), 0u);
    // Its left edge at 7 is in view from the right border too: 7 - 0 <= Int(120 / 16) = 7.
    const std::vector<LevelObject> right{Obj(9, 0, -2, 1)};
    EXPECT_EQ(Visible(right, View(112, 400, 16, 0, 0)).size(), 1u);
    EXPECT_EQ(Visible(right, View(111, 400, 16, 0, 0)).size(), 0u);
}

TEST(VisibleList, AscendingIndicesAndEmptyLevel) {
    ViewState v = View(320, 320, 16, 0, 0);
    LevelState level;
    RebuildVisibleList(level, v);
    EXPECT_EQ(v.visibleLast(), -1);

    level.objectList = {Obj(1, 1, 1, 1), Obj(100, 1, 1, 1), Obj(2, 2, 4, 4), Obj(19, 19, 1, 1)};
    RebuildVisibleList(level, v);
    EXPECT_EQ(v.visibleList, (std::vector<int16_t>{0, 2, 3}));
    EXPECT_EQ(v.visibleLast(), 2);
}

TEST(VisibleList, RebuildReusesTheListStorage) {
    LevelState level;
    for (int i = 0; i < 5000; ++i) level.objectList.push_back(Obj(i % 256, (i / 256) % 128, 2, 2));
    ViewState v = View(4096, 2048, 16, 0, 0);
    RebuildVisibleList(level, v);
    ASSERT_EQ(v.visibleList.size(), 5000u);
    const int16_t* storage = v.visibleList.data();
    v.hsc.value = 100;
    RebuildVisibleList(level, v);
    v.hsc.value = 0;
    RebuildVisibleList(level, v);
    EXPECT_EQ(v.visibleList.data(), storage);
    EXPECT_EQ(v.visibleList.size(), 5000u);
}

TEST(CrossSection, FlagComesFromTheObjectOrExtendedRowOnlyInCrossSectionMode) {
    DefinitionTables defs;
    defs.objectDefs[0x10].crossSectionFlag = true;
    defs.objectDefs[0x00].kind = kKindExtended;
    defs.objectDefs[0x00].crossSectionFlag = true;  // the extended row decides, not this one
    defs.extendedDefs[0x42].crossSectionFlag = true;

    LevelState level;
    LevelObject plain = Obj(0, 0, 1, 1);
    plain.id = 0x10;
    LevelObject extFlagged = plain;
    extFlagged.id = 0x00;
    extFlagged.extId = 0x42;
    LevelObject extPlain = extFlagged;
    extPlain.extId = 0x43;
    LevelObject sprite = plain;  // sprite 0x10 shares the ID with a flagged object
    sprite.isSprite = true;
    level.objectList = {plain, extFlagged, extPlain, sprite};

    ViewOptions off;
    ViewOptions on;
    on.crossSection = true;
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(CrossSectionFlagOf(level, defs, off, i)) << i;
    EXPECT_TRUE(CrossSectionFlagOf(level, defs, on, 0));
    EXPECT_TRUE(CrossSectionFlagOf(level, defs, on, 1));
    EXPECT_FALSE(CrossSectionFlagOf(level, defs, on, 2));
    EXPECT_FALSE(CrossSectionFlagOf(level, defs, on, 3));
    EXPECT_FALSE(CrossSectionFlagOf(level, defs, on, 4));
    EXPECT_FALSE(CrossSectionFlagOf(level, defs, on, -1));
}

}  // namespace
}  // namespace mw
