#include "view/view_controls.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

ViewState Sized(float w, float h, int zoom) {
    ViewState v;
    v.viewWidth = w;
    v.viewHeight = h;
    ApplyZoom(v, zoom);
    return v;
}

TEST(Zoom, LabelFontSizeRoundsHalfToEvenWithAMinimumOfTwo) {
    const int expected[] = {2, 2, 4, 6, 10, 14, 30};
    for (size_t k = 0; k < std::size(kZoomLevels); ++k) {
        EXPECT_EQ(LabelFontSize(kZoomLevels[k]), expected[k]) << kZoomLevels[k];
    }
    EXPECT_EQ(LabelFontSize(9), 2);   // 2.5 -> 2
    EXPECT_EQ(LabelFontSize(11), 4);  // 3.5 -> 4

    ViewState v;
    ApplyZoom(v, 64);
    EXPECT_EQ(v.zoom, 64);
    EXPECT_EQ(v.fontSize, 30);
    ApplyZoom(v, 0);  // ignored: a zoom of 0 would divide by zero everywhere
    EXPECT_EQ(v.zoom, 64);
}

TEST(ScrollRanges, MaximaFollowTheViewSizeAndEnableTheBars) {
    ViewState v = Sized(700, 400, 16);
    EXPECT_FALSE(UpdateScrollRanges(v).any());
    EXPECT_EQ(v.hsc.maximum, 213);  // 256 - Int(700 / 16)
    EXPECT_EQ(v.vsc.maximum, 103);  // 128 - Int(400 / 16)
    EXPECT_TRUE(v.hsc.enabled);
    EXPECT_TRUE(v.vsc.enabled);

    // A view as large as the level, or nearly (one tile short of a maximum of 1).
    v = Sized(1024, 511, 4);
    UpdateScrollRanges(v);
    EXPECT_EQ(v.hsc.maximum, 0);
    EXPECT_FALSE(v.hsc.enabled);
    EXPECT_EQ(v.vsc.maximum, 1);
    EXPECT_TRUE(v.vsc.enabled);
}

TEST(ScrollRanges, ZoomingOutLowersAValueAboveTheNewMaximum) {
    ViewState v = Sized(700, 400, 16);
    UpdateScrollRanges(v);
    v.hsc.value = 200;
    v.vsc.value = 20;
    ApplyZoom(v, 4);  // 175 columns and 100 rows fit now
    const ScrollValueChanges changes = UpdateScrollRanges(v);
    EXPECT_TRUE(changes.horizontal);
    EXPECT_EQ(v.hsc.maximum, 81);
    EXPECT_EQ(v.hsc.value, 81);
    EXPECT_FALSE(changes.vertical);
    EXPECT_EQ(v.vsc.maximum, 28);
    EXPECT_EQ(v.vsc.value, 20);
}

TEST(ScrollRanges, AViewLargerThanTheLevelScrollsBackToZeroNotBelow) {
    ViewState v = Sized(700, 400, 16);
    UpdateScrollRanges(v);
    v.hsc.value = 10;
    v.viewWidth = 8000;   // maximum 256 - 500
    v.viewHeight = 3000;  // maximum 128 - 187; the value is 0 already
    const ScrollValueChanges changes = UpdateScrollRanges(v);
    EXPECT_EQ(v.hsc.maximum, -244);
    EXPECT_FALSE(v.hsc.enabled);
    EXPECT_TRUE(changes.horizontal);
    EXPECT_EQ(v.hsc.value, 0);
    EXPECT_FALSE(changes.vertical);
    EXPECT_EQ(v.vsc.value, 0);
}

TEST(ScrollRanges, OutsideAreaOptionWidensBothBarsAndKeepsThemThroughResizes) {
    ViewState v = Sized(1200, 400, 4);  // wider than the level: horizontal bar off
    UpdateScrollRanges(v);
    ASSERT_FALSE(v.hsc.enabled);

    SetOutOfBounds(v, true);
    EXPECT_FALSE(UpdateScrollRanges(v).any());
    EXPECT_EQ(v.hsc.maximum, 256);
    EXPECT_EQ(v.vsc.maximum, 256);
    EXPECT_FALSE(v.hsc.enabled);  // left as the last resize set it
    EXPECT_TRUE(v.vsc.enabled);

    v.viewWidth = 400;  // resizing keeps the widened ranges
    EXPECT_FALSE(UpdateScrollRanges(v).any());
    EXPECT_EQ(v.hsc.maximum, 256);

    v.hsc.value = 250;
    v.vsc.value = 200;
    SetOutOfBounds(v, false);
    const ScrollValueChanges back = UpdateScrollRanges(v);
    EXPECT_TRUE(back.horizontal);
    EXPECT_TRUE(back.vertical);
    EXPECT_EQ(v.hsc.value, 156);  // 256 - Int(400 / 4)
    EXPECT_EQ(v.vsc.value, 28);
    EXPECT_TRUE(v.hsc.enabled);
}

}  // namespace
}  // namespace mw
