#pragma once
// The drawing surface of the level view. Like a picture box, it keeps its
// drawing state (colours, fill pattern, line style and width) from one call
// to the next and from one paint to the next; the primitives use that state.
#include <cstdint>
#include <string>

#include "definitions/definition_tables.h"

namespace mw {

enum class FillPattern { Solid, None, CrossHatch };
enum class LineStyle { Solid, Dashed };

struct SurfaceState {
    Rgb foreColor{0, 0, 0};
    Rgb fillColor{0, 0, 0};
    FillPattern fillPattern = FillPattern::Solid;
    LineStyle lineStyle = LineStyle::Solid;
    int lineWidth = 1;
    // Text gets a pale backing of its own size, so that a label stays
    // readable over the level's tiles.
    bool textBacking = false;
    bool operator==(const SurfaceState&) const = default;
};

class Surface {
public:
    virtual ~Surface() = default;

    SurfaceState state;  // persists between calls and between paints

    // Fills the whole surface with `background`.
    virtual void clear(Rgb background) = 0;
    // Outlined in foreColor with lineStyle/lineWidth; filled by fillPattern in fillColor.
    virtual void box(float x1, float y1, float x2, float y2) = 0;
    virtual void line(float x1, float y1, float x2, float y2) = 0;
    // Outlined like a line, filled like a box.
    virtual void circle(float cx, float cy, float radius) = 0;
    // Left- and top-aligned on one line in foreColor, clipped to the rectangle.
    virtual void text(const std::string& s, float left, float top, float right, float bottom) = 0;
    // An opaque picture of `width` x `height` pixels (0xAARRGGBB, rows
    // `stride` pixels apart) with its top-left corner at (x, y), one picture
    // pixel per surface pixel. The drawing state does not apply.
    virtual void pixels(int x, int y, int width, int height, const uint32_t* argb, int stride) = 0;
    // The label font's size in points (set by the zoom).
    virtual void setFontSize(int points) = 0;
    virtual int width() const = 0;
    virtual int height() const = 0;
};

// The system colours the view uses.
constexpr Rgb kButtonFace{240, 240, 240};
constexpr Rgb kButtonText{0, 0, 0};

}  // namespace mw
