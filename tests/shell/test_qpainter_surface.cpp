#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "paint/qpainter_surface.h"
#include "shell_test_app.h"

namespace mw {
namespace {

constexpr Rgb kBack{240, 240, 240};
constexpr Rgb kFill{0, 0, 255};

using test::Px;
using test::Rgb32;

struct Canvas {
    QImage image{200, 100, QImage::Format_RGB32};
    QPainter painter{&image};
    QPainterSurface surface;
    Canvas() {
        test::EnsureApp();
        surface.begin(&painter, image.width(), image.height());
        surface.clear(kBack);
    }
    const QImage& done() {
        surface.end();
        painter.end();
        return image;
    }
    int count(QRgb colour, QRect area) const {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) n += Px(image, x, y) == colour;
        return n;
    }
};

TEST(QPainterSurface, BoxesAreOutlinedAndFilledByTheCurrentPattern) {
    Canvas c;
    c.surface.state.foreColor = {0, 0, 0};
    c.surface.state.fillColor = kFill;
    c.surface.state.fillPattern = FillPattern::Solid;
    c.surface.box(10, 10, 50, 50);  // corners in either order give the same box
    c.surface.state.fillPattern = FillPattern::CrossHatch;
    c.surface.box(140, 50, 100, 10);
    c.surface.state.fillPattern = FillPattern::None;
    c.surface.box(150, 10, 190, 50);
    const QImage& img = c.done();

    // The outline covers both corners' rows and columns.
    EXPECT_EQ(Px(img, 10, 30), 0u);
    EXPECT_EQ(Px(img, 50, 30), 0u);
    EXPECT_EQ(Px(img, 30, 50), 0u);
    EXPECT_EQ(Px(img, 30, 30), Rgb32(kFill));
    // Cross-hatch: lines of the fill colour with the background between them.
    const QRect hatch(102, 12, 36, 36);
    EXPECT_GT(c.count(Rgb32(kFill), hatch), 100);
    EXPECT_GT(c.count(Rgb32(kBack), hatch), 400);
    EXPECT_EQ(Px(img, 100, 30), 0u);
    // No fill: only the outline.
    EXPECT_EQ(c.count(Rgb32(kBack), QRect(152, 12, 36, 36)), 36 * 36);
    EXPECT_EQ(Px(img, 190, 30), 0u);
}

TEST(QPainterSurface, DashesApplyToThinLinesOnly) {
    Canvas c;
    c.surface.state.foreColor = {255, 0, 0};
    c.surface.state.lineStyle = LineStyle::Dashed;
    c.surface.line(0, 10, 199, 10);
    c.surface.state.lineWidth = 2;
    c.surface.line(0, 40, 199, 40);
    const QImage& img = c.done();
    const int dashed = c.count(0xFF0000, QRect(0, 10, 200, 1));
    EXPECT_GT(dashed, 40);
    EXPECT_LT(dashed, 180);
    // A two-pixel line is solid whatever the style.
    for (int x = 4; x < 196; ++x) EXPECT_EQ(c.count(0xFF0000, QRect(x, 38, 1, 5)), 2) << x;
    (void)img;
}

TEST(QPainterSurface, TextStaysInsideItsRectangleAndStateSurvivesPaints) {
    Canvas c;
    c.surface.setFontSize(30);
    c.surface.state.foreColor = {0, 128, 0};
    c.surface.text("WWWWWWWWWWWWWWWWWWWW", 20, 20, 60, 35);
    c.surface.text("ignored", 80, 20, 80, 60);  // an empty rectangle shows nothing
    c.surface.text("far away", 500, 500, 900, 900);
    const QImage& img = c.done();
    int inside = 0, outside = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            if (Px(img, x, y) == Rgb32(kBack)) continue;
            (x >= 20 && x < 60 && y >= 20 && y < 35 ? inside : outside)++;
        }
    EXPECT_GT(inside, 20);
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(c.surface.fontPoints(), 30);
    EXPECT_EQ(c.surface.font().pixelSize(), 40);
    // The drawing state is the surface's own and outlives the painter.
    EXPECT_EQ(c.surface.state.foreColor, (Rgb{0, 128, 0}));
    EXPECT_FALSE(c.surface.active());
}

// Over tiles a label gets a pale backing of its own size, inside its
// rectangle, so it reads on dark tiles; without the flag the dark stays.
TEST(QPainterSurface, TextBackingLightensOnlyBehindTheLabel) {
    for (bool backing : {false, true}) {
        Canvas c;
        c.surface.state.fillColor = {40, 20, 0};
        c.surface.box(0, 0, 199, 99);
        c.surface.state.foreColor = {0, 0, 0};
        c.surface.state.textBacking = backing;
        c.surface.text("Label", 20, 20, 190, 90);
        const QImage& img = c.done();
        int pale = 0, paleOutside = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                if (qRed(Px(img, x, y)) < 150) continue;
                (x >= 19 && x < 190 && y >= 20 && y < 90 ? pale : paleOutside)++;
            }
        EXPECT_EQ(pale > 50, backing);
        EXPECT_EQ(paleOutside, 0);
    }
}

// The labels look the same in the window (whose controls use a narrowed
// font) and in an image painted without any window font.
TEST(QPainterSurface, LabelsDoNotTakeTheDevicesFont) {
    test::EnsureApp();
    auto paint = [] {
        Canvas c;
        c.surface.setFontSize(9);
        c.surface.state.foreColor = {0, 0, 0};
        c.surface.text("50 - Arrow sign, wide", 0, 0, 200, 20);
        return c.done().copy();
    };
    const QImage plain = paint();
    const QFont saved = QApplication::font();
    QFont other = saved;
    other.setStretch(60);
    QApplication::setFont(other);
    const QImage underOtherFont = paint();
    QApplication::setFont(saved);
    EXPECT_TRUE(plain == underOtherFont);
}

}  // namespace
}  // namespace mw
