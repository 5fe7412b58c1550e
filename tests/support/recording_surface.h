#pragma once
// A Surface for tests: records every call together with the drawing state at
// the moment of the call, and draws nothing.
#include <algorithm>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "view/surface.h"

namespace mw {

enum class SurfaceOp { Clear, Box, Line, Circle, Text, FontSize, Pixels };

struct SurfaceCall {
    SurfaceOp op = SurfaceOp::Clear;
    // Box and Line: the two points; Circle: centre and radius in x2;
    // Text: left, top, right, bottom; Pixels: left, top, width, height.
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::string text;   // Text only
    Rgb background;     // Clear only
    int fontSize = 0;   // FontSize only
    SurfaceState state;  // the surface's state when the call was made

    bool operator==(const SurfaceCall&) const = default;
};

inline const char* OpName(SurfaceOp op) {
    switch (op) {
        case SurfaceOp::Clear: return "clear";
        case SurfaceOp::Box: return "box";
        case SurfaceOp::Line: return "line";
        case SurfaceOp::Circle: return "circle";
        case SurfaceOp::Text: return "text";
        case SurfaceOp::FontSize: return "fontSize";
        case SurfaceOp::Pixels: return "pixels";
    }
    return "?";
}

// Readable failure messages in tests.
inline void PrintTo(const SurfaceCall& c, std::ostream* out) {
    auto rgb = [out](Rgb v) { *out << '(' << int(v.r) << ',' << int(v.g) << ',' << int(v.b) << ')'; };
    *out << OpName(c.op) << ' ' << c.x1 << ',' << c.y1 << ' ' << c.x2 << ',' << c.y2;
    if (c.op == SurfaceOp::Text) *out << " \"" << c.text << '"';
    if (c.op == SurfaceOp::Clear) rgb(c.background);
    if (c.op == SurfaceOp::FontSize) *out << ' ' << c.fontSize;
    *out << " fore";
    rgb(c.state.foreColor);
    *out << " fill";
    rgb(c.state.fillColor);
    *out << " pattern " << static_cast<int>(c.state.fillPattern) << " style "
         << static_cast<int>(c.state.lineStyle) << " width " << c.state.lineWidth;
}

class RecordingSurface : public Surface {
public:
    explicit RecordingSurface(int width = 1024, int height = 512) : width_(width), height_(height) {}

    std::vector<SurfaceCall> calls;

    void clear(Rgb background) override {
        SurfaceCall c = make(SurfaceOp::Clear);
        c.background = background;
        calls.push_back(c);
    }
    void box(float x1, float y1, float x2, float y2) override {
        calls.push_back(make(SurfaceOp::Box, x1, y1, x2, y2));
    }
    void line(float x1, float y1, float x2, float y2) override {
        calls.push_back(make(SurfaceOp::Line, x1, y1, x2, y2));
    }
    void circle(float cx, float cy, float radius) override {
        calls.push_back(make(SurfaceOp::Circle, cx, cy, radius, 0));
    }
    // The last picture drawn (rows of lastPictureWidth pixels), for checking.
    std::vector<uint32_t> lastPicture;
    int lastPictureWidth = 0;
    void pixels(int x, int y, int width, int height, const uint32_t* argb, int stride) override {
        lastPicture.clear();
        for (int r = 0; r < height; ++r) lastPicture.insert(lastPicture.end(), argb + r * stride, argb + r * stride + width);
        lastPictureWidth = width;
        calls.push_back(make(SurfaceOp::Pixels, static_cast<float>(x), static_cast<float>(y), static_cast<float>(width),
                             static_cast<float>(height)));
    }
    void text(const std::string& s, float left, float top, float right, float bottom) override {
        SurfaceCall c = make(SurfaceOp::Text, left, top, right, bottom);
        c.text = s;
        calls.push_back(c);
    }
    void setFontSize(int points) override {
        SurfaceCall c = make(SurfaceOp::FontSize);
        c.fontSize = points;
        calls.push_back(c);
    }
    int width() const override { return width_; }
    int height() const override { return height_; }

    // The recorded calls of one kind, in order.
    std::vector<SurfaceCall> of(SurfaceOp op) const {
        std::vector<SurfaceCall> out;
        std::copy_if(calls.begin(), calls.end(), std::back_inserter(out),
                     [op](const SurfaceCall& c) { return c.op == op; });
        return out;
    }
    int count(SurfaceOp op) const {
        return static_cast<int>(std::count_if(calls.begin(), calls.end(),
                                              [op](const SurfaceCall& c) { return c.op == op; }));
    }
    // True when some call was made with this foreground colour.
    bool usedForeColor(Rgb colour) const {
        return std::any_of(calls.begin(), calls.end(),
                           [colour](const SurfaceCall& c) { return c.state.foreColor == colour; });
    }

private:
    SurfaceCall make(SurfaceOp op, float x1 = 0, float y1 = 0, float x2 = 0, float y2 = 0) const {
        SurfaceCall c;
        c.op = op;
        c.x1 = x1;
        c.y1 = y1;
        c.x2 = x2;
        c.y2 = y2;
        c.state = state;
        return c;
    }

    int width_;
    int height_;
};

}  // namespace mw
