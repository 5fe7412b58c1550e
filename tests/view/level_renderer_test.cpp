#include "view/level_renderer.h"

#include <gtest/gtest.h>

#include "support/recording_surface.h"
#include "view/view_controls.h"
#include "view/view_geometry.h"

namespace mw {
namespace {

constexpr Rgb kBlockColour{10, 20, 30};
constexpr Rgb kExtColour{40, 50, 60};
constexpr Rgb kSpriteColour{70, 80, 90};
constexpr Rgb kStart{7, 7, 7};  // a foreground colour left by an earlier paint

// Expects one recorded call: operation, coordinates and the state it was made in.
void ExpectCall(const SurfaceCall& c, SurfaceOp op, float x1, float y1, float x2, float y2) {
    EXPECT_EQ(c.op, op) << ::testing::PrintToString(c);
    EXPECT_FLOAT_EQ(c.x1, x1) << ::testing::PrintToString(c);
    EXPECT_FLOAT_EQ(c.y1, y1) << ::testing::PrintToString(c);
    EXPECT_FLOAT_EQ(c.x2, x2) << ::testing::PrintToString(c);
    EXPECT_FLOAT_EQ(c.y2, y2) << ::testing::PrintToString(c);
}

class Renderer : public ::testing::Test {
protected:
    Renderer() {
        ObjectDefinition& block = defs.objectDefs[0x10];
        block.name = "Block";
        block.kind = kKindFiveByte;
        block.colour = kBlockColour;
        ObjectDefinition& intro = defs.objectDefs[0x00];
        intro.name = "Extended";
        intro.kind = kKindExtended;
        intro.colour = {1, 1, 1};
        defs.extendedDefs[0x42] = {"Ext", 3, 2, false, kExtColour};
        defs.spriteDefs[0x1F0] = {"Spr", kSpriteColour};
        ObjectDefinition& wall = defs.objectDefs[0x30];
        wall = block;
        wall.name = "Wall";
        wall.crossSectionFlag = true;
        ObjectDefinition& slope = defs.objectDefs[0x20];
        slope.name = "Slope";
        slope.kind = kKindFourByte;
        slope.isSlope = true;
        slope.slopeRun = 2;
        slope.slopeRise = 1;

        view.viewWidth = 1024;
        view.viewHeight = 512;
        surface.state.foreColor = kStart;
    }

    static LevelObject Obj(int id, int x, int y, int w, int h) {
        return MakeObject(static_cast<uint8_t>(id), x, y, w, h);
    }
    static LevelObject Ext(int extId, int x, int y) {
        LevelObject o = Obj(0x00, x, y, 3, 2);
        o.extId = static_cast<uint8_t>(extId);
        return o;
    }

    void Draw(int selectedObject = -1) {
        RebuildVisibleList(level, view);
        DrawLevel(level, defs, view, selectedObject, surface);
    }
    // Draws a level holding just `o` and returns what was drawn.
    std::vector<SurfaceCall> DrawOne(const LevelObject& o) {
        level.objectList = {o};
        surface.calls.clear();
        Draw();
        return surface.calls;
    }

    DefinitionTables defs;
    LevelState level;
    ViewState view;
    RecordingSurface surface;
};

TEST_F(Renderer, GridWithoutSmallGridDrawsScreenLinesToTheLevelEdges) {
    DrawGrid(view, surface);
    const auto& c = surface.calls;
    ASSERT_EQ(c.size(), 17u + 9u);
    for (int k = 0; k <= 16; ++k) ExpectCall(c[k], SurfaceOp::Line, 256.f * k, 0, 256.f * k, 2048);
    for (int k = 0; k <= 8; ++k) ExpectCall(c[17 + k], SurfaceOp::Line, 0, 256.f * k, 4096, 256.f * k);
    for (const SurfaceCall& call : c) {
        EXPECT_EQ(call.state.foreColor, kStart);  // the screen grid uses the current colour
        EXPECT_EQ(call.state.lineWidth, 1);
        EXPECT_EQ(call.state.lineStyle, LineStyle::Solid);
    }
}

TEST_F(Renderer, SmallGridGoesUnderTheScreenGridInButtonText) {
    view.zoom = 8;
    view.options.smallGrid = true;
    DrawGrid(view, surface);
    const auto& c = surface.calls;
    ASSERT_EQ(c.size(), 257u + 129u + 17u + 9u);
    for (int k = 0; k < 257 + 129; ++k) EXPECT_EQ(c[k].state.foreColor, kSmallGridColour) << k;
    ExpectCall(c[1], SurfaceOp::Line, 8, 0, 8, 1024);
    ExpectCall(c[257 + 128], SurfaceOp::Line, 0, 1024, 2048, 1024);
    ExpectCall(c[386 + 1], SurfaceOp::Line, 128, 0, 128, 1024);
    for (size_t k = 386; k < c.size(); ++k) EXPECT_EQ(c[k].state.foreColor, kButtonText) << k;
    EXPECT_EQ(surface.state.foreColor, kButtonText);
}

TEST_F(Renderer, ScrolledGridLinesStartAtTheViewBorderAndEndAtTheLevelEdge) {
    view.hsc.value = 3;
    view.vsc.value = 120;
    DrawGrid(view, surface);
    ExpectCall(surface.calls[0], SurfaceOp::Line, -48, 0, -48, 128);
    ExpectCall(surface.calls[17], SurfaceOp::Line, 0, -1920, 4048, -1920);
    ExpectCall(surface.calls[25], SurfaceOp::Line, 0, 128, 4048, 128);

    // Scrolled below the level (only with the outside area shown): every
    // vertical line lies above the view.
    surface.calls.clear();
    view.vsc.value = 130;
    DrawGrid(view, surface);
    for (int k = 0; k <= 16; ++k) EXPECT_LT(surface.calls[k].y2, 0);
}

TEST_F(Renderer, EntriesAreFilledAndLabelledByKind) {
    level.objectList = {Obj(0x10, 1, 1, 2, 1), Ext(0x42, 4, 1), MakeSprite(0x1F0, 8, 1),
                        Obj(0x10, 10, 1, 2, 1)};
    Draw();
    const auto boxes = surface.of(SurfaceOp::Box);
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0].state.fillColor, kBlockColour);
    EXPECT_EQ(boxes[1].state.fillColor, kExtColour);
    EXPECT_EQ(boxes[2].state.fillColor, kSpriteColour);
    EXPECT_EQ(boxes[3].state.fillColor, kBlockColour);
    // Outlines keep the starting colour up to the first label, black after it.
    EXPECT_EQ(boxes[0].state.foreColor, kStart);
    for (int k = 1; k < 4; ++k) EXPECT_EQ(boxes[k].state.foreColor, kBlack) << k;
    for (const SurfaceCall& b : boxes) EXPECT_EQ(b.state.fillPattern, FillPattern::Solid);

    const auto texts = surface.of(SurfaceOp::Text);
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0].text, "10 - Block");
    EXPECT_EQ(texts[0].state.foreColor, kStart);
    EXPECT_EQ(texts[1].text, "42 - Ext");
    EXPECT_EQ(texts[1].state.foreColor, kExtendedLabelColour);
    EXPECT_EQ(texts[2].text, "1F0 - Spr");
    EXPECT_EQ(texts[2].state.foreColor, kSpriteLabelColour);
    EXPECT_EQ(texts[3].state.foreColor, kBlack);
    ExpectCall(texts[0], SurfaceOp::Text, 18, 18, 48, 32);

    // Handles only on the two plain objects; extended objects and sprites have none.
    EXPECT_EQ(surface.count(SurfaceOp::Line), 4);
    EXPECT_EQ(surface.count(SurfaceOp::Circle), 2);
    EXPECT_EQ(surface.state.foreColor, kBlack);
}

TEST_F(Renderer, HandlesSitOnTheResizingEdgesOfANegativeWidthObject) {
    const auto c = DrawOne(Obj(0x10, 10, 5, -3, 2));
    ASSERT_EQ(c.size(), 5u);
    ExpectCall(c[0], SurfaceOp::Box, 160, 80, 112, 112);
    ExpectCall(c[1], SurfaceOp::Line, 112, 80, 112, 112);
    ExpectCall(c[2], SurfaceOp::Line, 160, 112, 112, 112);
    EXPECT_EQ(c[1].state.lineWidth, 2);
    EXPECT_EQ(c[2].state.lineWidth, 2);
    ExpectCall(c[3], SurfaceOp::Circle, 112, 112, 2, 0);  // radius zoom / 8
    EXPECT_EQ(c[3].state.lineWidth, 1);
    EXPECT_EQ(c[3].state.fillColor, kBlockColour);
    ExpectCall(c[4], SurfaceOp::Text, 114, 82, 160, 112);

    view.zoom = 12;
    EXPECT_FLOAT_EQ(DrawOne(Obj(0x10, 1, 1, 1, 1))[3].x2, 1.5f);
}

TEST_F(Renderer, CrossSectionObjectsAreDashedUnfilledAndUnlabelled) {
    view.options.crossSection = true;
    view.options.transparent = true;
    level.objectList = {Obj(0x30, 1, 1, 2, 2), Obj(0x10, 2, 2, 2, 2)};
    Draw();
    const auto& c = surface.calls;
    ASSERT_EQ(c.size(), 4u + 5u);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(c[k].state.lineStyle, LineStyle::Dashed) << k;
        EXPECT_EQ(c[k].state.fillPattern, FillPattern::None) << k;
    }
    EXPECT_EQ(c[1].state.lineWidth, 2);  // thick edges still drawn
    EXPECT_EQ(c[3].op, SurfaceOp::Circle);
    // The next entry is solid-lined and cross-hatched; only it has a label,
    // in the colour current at the start.
    EXPECT_EQ(c[4].op, SurfaceOp::Box);
    EXPECT_EQ(c[4].state.lineStyle, LineStyle::Solid);
    EXPECT_EQ(c[4].state.fillPattern, FillPattern::CrossHatch);
    EXPECT_EQ(c[4].state.foreColor, kStart);
    ASSERT_EQ(surface.count(SurfaceOp::Text), 1);
    EXPECT_EQ(surface.of(SurfaceOp::Text)[0].state.foreColor, kStart);
    EXPECT_EQ(surface.state.fillPattern, FillPattern::CrossHatch);

    // Without cross-section mode the same object is an ordinary labelled box.
    view.options.crossSection = false;
    EXPECT_EQ(DrawOne(Obj(0x30, 1, 1, 2, 2)).back().text, "30 - Wall");
}

TEST_F(Renderer, SlopeMarkerFollowsTheDirectionFlagsAndFitsTheFirstKind) {
    // Run 2, rise 1 on an 8 x 2 object at (3, 4): q = 4 gives rise 4 > 2, so the
    // marker is fitted to q = 2: run 4, rise 2.
    struct Case {
        bool a, b;
        float px, py, qx, qy;
    } cases[] = {
        {false, false, 48, 64, 112, 96},
        {true, false, 48, 64, 176, 0},    // up by the unfitted rise 4
        {false, true, 48, 64, 176, 128},  // down by the unfitted rise 4
        {true, true, 176, 64, 48, 128},   // from the right end leftwards
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << "A " << k.a << " B " << k.b);
        defs.objectDefs[0x20].slopeDirectionA = k.a;
        defs.objectDefs[0x20].slopeDirectionB = k.b;
        const auto c = DrawOne(Obj(0x20, 3, 4, 8, 2));
        ASSERT_EQ(c.size(), 7u);
        ExpectCall(c[4], SurfaceOp::Box, k.px, k.py, k.qx, k.qy);
        ExpectCall(c[5], SurfaceOp::Line, k.px, k.py, k.qx, k.qy);
        EXPECT_EQ(c[4].state.lineStyle, LineStyle::Dashed);
        EXPECT_EQ(c[4].state.fillPattern, FillPattern::None);
        EXPECT_EQ(c[6].state.lineStyle, LineStyle::Solid);
        EXPECT_EQ(surface.state.fillPattern, FillPattern::Solid);
    }

    // Fractional corners: run 3, rise 2 on a 4 x 5 object needs no fitting.
    defs.objectDefs[0x20] = {"Slope", kKindFourByte, false, 0, true, 3, 2, false, false, {}};
    const auto c = DrawOne(Obj(0x20, 3, 4, 4, 5));
    ExpectCall(c[4], SurfaceOp::Box, 48, 64, 112, (4 + 8.0f / 3) * 16);
}

TEST_F(Renderer, SlopeWithoutARunOrAFittingRiseHasNoMarker) {
    defs.objectDefs[0x20].slopeRun = 0;
    EXPECT_EQ(DrawOne(Obj(0x20, 3, 4, 8, 2)).size(), 5u);

    defs.objectDefs[0x20].slopeRun = 2;
    defs.objectDefs[0x20].slopeRise = 0;
    EXPECT_EQ(DrawOne(Obj(0x20, 3, 4, 8, 2)).size(), 7u);   // flat, no fitting needed
    EXPECT_EQ(DrawOne(Obj(0x20, 3, 4, 8, -2)).size(), 5u);  // fitting would divide by 0
    EXPECT_EQ(surface.state.lineStyle, LineStyle::Solid);
}

TEST_F(Renderer, ScreenExitsInViewGetAnOrangeOutlineSolidTabAndTheirDestination) {
    ScreenExit inView;
    inView.screenX = 2;
    inView.screenY = 1;
    inView.destination = 0x2A;
    defs.destinationLevels = {{"2A Tower", 0x2A}};
    ScreenExit outOfView;
    outOfView.screenX = 15;
    outOfView.screenY = 7;
    level.exitList = {inView, outOfView};
    view.options.transparent = true;
    Draw();
    const auto& c = surface.calls;
    ASSERT_EQ(c.size(), 3u);
    ExpectCall(c[0], SurfaceOp::Box, 512, 256, 768, 512);
    EXPECT_EQ(c[0].state.fillPattern, FillPattern::None);
    ExpectCall(c[1], SurfaceOp::Box, 512, 256, 544, 264);
    EXPECT_EQ(c[1].state.fillPattern, FillPattern::Solid);
    for (int i : {0, 1}) {
        EXPECT_EQ(c[i].state.foreColor, kExitColour);
        EXPECT_EQ(c[i].state.fillColor, kExitColour);
        EXPECT_EQ(c[i].state.lineWidth, 1);
    }
    EXPECT_EQ(c[2].op, SurfaceOp::Text);
    EXPECT_NE(c[2].text.find("2A"), std::string::npos) << c[2].text;
    EXPECT_NE(c[2].text.find("Tower"), std::string::npos) << c[2].text;
    // The colour of before the exits comes back; the fill follows the option.
    EXPECT_EQ(surface.state.foreColor, kStart);
    EXPECT_EQ(surface.state.fillPattern, FillPattern::CrossHatch);

    // The exit being edited stands out.
    surface.calls.clear();
    DrawLevel(level, defs, view, -1, surface, {}, false, 0);
    ASSERT_FALSE(surface.calls.empty());
    EXPECT_EQ(surface.calls[0].state.foreColor, kCurrentObjectColour);
    EXPECT_GT(surface.calls[0].state.lineWidth, 1);
    EXPECT_EQ(surface.state.lineWidth, 1);

    level.exitList.clear();
    surface.calls.clear();
    level.objectList = {Obj(0x10, 1, 1, 1, 1)};
    Draw(0);
    EXPECT_FALSE(surface.usedForeColor(kExitColour));
}

TEST_F(Renderer, CurrentObjectIsOutlinedInRedWhereverItIs) {
    view.options.crossSection = true;
    level.objectList = {Obj(0x10, 1, 1, 2, 2), Obj(0x10, 200, 100, -4, 3), Obj(0x30, 2, 2, 1, 1)};
    Draw(1);
    ASSERT_EQ(view.visibleList, (std::vector<int16_t>{0, 2}));
    SurfaceCall red = surface.calls.back();
    ExpectCall(red, SurfaceOp::Box, 3200, 1600, 3136, 1648);
    EXPECT_EQ(red.state.foreColor, kCurrentObjectColour);
    EXPECT_EQ(red.state.fillPattern, FillPattern::None);
    EXPECT_EQ(red.state.lineStyle, LineStyle::Solid);
    EXPECT_EQ(surface.state.foreColor, kBlack);

    surface.calls.clear();
    Draw(2);  // hidden by cross-section mode, outlined all the same
    ExpectCall(surface.calls.back(), SurfaceOp::Box, 32, 32, 48, 48);
    EXPECT_EQ(surface.calls.back().state.foreColor, kCurrentObjectColour);

    for (int selected : {-1, 3}) {
        surface.calls.clear();
        Draw(selected);
        EXPECT_FALSE(surface.usedForeColor(kCurrentObjectColour)) << selected;
    }
    level.objectList.clear();
    surface.calls.clear();
    Draw(0);
    EXPECT_TRUE(surface.calls.empty());
    EXPECT_EQ(surface.state.foreColor, kBlack);
    EXPECT_EQ(surface.state.fillPattern, FillPattern::Solid);
}

TEST_F(Renderer, PaintClearsThenDrawsGridAndLevelCarryingTheStateToTheNextPaint) {
    level.objectList = {Obj(0x30, 1, 1, 1, 1), Obj(0x10, 3, 1, 1, 1)};
    view.options.crossSection = true;
    ApplyZoom(view, 24);
    view.options.transparent = true;
    RebuildVisibleList(level, view);

    PaintView(level, defs, view, -1, surface);
    const auto& c = surface.calls;
    ASSERT_GE(c.size(), 2u + 26u + 1u);
    EXPECT_EQ(c[0].op, SurfaceOp::FontSize);
    EXPECT_EQ(c[0].fontSize, 10);
    EXPECT_EQ(c[1].op, SurfaceOp::Clear);
    EXPECT_EQ(c[1].background, kButtonFace);
    EXPECT_EQ(c[2].state.foreColor, kStart);  // screen grid in the colour left over
    const SurfaceCall firstBox = c[28];
    EXPECT_EQ(firstBox.op, SurfaceOp::Box);
    EXPECT_EQ(firstBox.state.foreColor, kStart);

    // The next paint starts from what this one left: black lines, hatched fill.
    surface.calls.clear();
    view.options.crossSection = false;
    PaintView(level, defs, view, -1, surface);
    EXPECT_EQ(c[2].state.foreColor, kBlack);
    EXPECT_EQ(c[28].state.foreColor, kBlack);
    EXPECT_EQ(c[28].state.fillPattern, FillPattern::CrossHatch);
}

}  // namespace
}  // namespace mw
