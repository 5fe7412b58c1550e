#pragma once
// The level view's drawing surface on a QPainter (the view widget during its
// paint event, or a QImage for offscreen renders and benchmarks).
//
// The drawing state (Surface::state) lives in this object and so survives
// from one paint to the next; the painter is attached only for the length of
// one paint with begin()/end(). Pens, brushes and the font are rebuilt only
// when the state they come from has changed, primitives that lie wholly
// outside the surface are skipped, and the layout of each label text is
// cached, so a paint of a full level stays cheap.
#include <QFont>
#include <QHash>
#include <QPainter>
#include <QStaticText>

#include "view/surface.h"

namespace mw {

// The face that stands in for the labels' small bitmap font.
extern const char* const kLabelFontFamily;
// The fixed-pitch face that stands in for the palette's font.
extern const char* const kFixedFontFamily;
// The labels' width, in percent of the face's own (QFont stretch).
constexpr int kLabelFontStretch = 88;

// Pixel height of the label font for a size in points (96 dots per inch,
// with a floor that keeps the smallest labels from vanishing entirely).
int LabelPixelSize(int points);

class QPainterSurface : public Surface {
public:
    QPainterSurface();

    // Attaches `painter` for one paint of a surface of the given size.
    void begin(QPainter* painter, int width, int height);
    void end();
    bool active() const { return painter_ != nullptr; }

    void clear(Rgb background) override;
    void box(float x1, float y1, float x2, float y2) override;
    void line(float x1, float y1, float x2, float y2) override;
    void circle(float cx, float cy, float radius) override;
    void text(const std::string& s, float left, float top, float right, float bottom) override;
    void pixels(int x, int y, int width, int height, const uint32_t* argb, int stride) override;
    void setFontSize(int points) override;
    int width() const override { return width_; }
    int height() const override { return height_; }

    int fontPoints() const { return fontPoints_; }
    const QFont& font() const { return font_; }

private:
    void applyPen();
    void applyBrush();
    bool outside(int left, int top, int right, int bottom, int margin) const;
    const QStaticText& layout(const std::string& s);

    QPainter* painter_ = nullptr;
    int width_ = 0;
    int height_ = 0;

    // What the attached painter currently holds, to skip redundant changes.
    bool penApplied_ = false;
    Rgb penColor_;
    LineStyle penStyle_ = LineStyle::Solid;
    int penWidth_ = 1;
    bool brushApplied_ = false;
    Rgb brushColor_;
    FillPattern brushPattern_ = FillPattern::Solid;

    int fontPoints_ = 6;
    QFont font_;
    QHash<QByteArray, QStaticText> layouts_;  // per text, for the current font
};

}  // namespace mw
