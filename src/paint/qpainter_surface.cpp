#include "paint/qpainter_surface.h"

#include <algorithm>
#include <cmath>

namespace mw {

const char* const kLabelFontFamily = "DejaVu Sans";
const char* const kFixedFontFamily = "DejaVu Sans Mono";

namespace {

int Px(float v) { return static_cast<int>(std::lround(v)); }

QColor ToQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

}  // namespace

int LabelPixelSize(int points) {
    // 96 dots per inch: one point is 4/3 of a pixel. Below 4 pixels the face
    // turns to specks, so the two smallest zooms share that floor.
    const int px = static_cast<int>(std::lround(points * 4.0 / 3.0));
    return std::max(4, px);
}

QPainterSurface::QPainterSurface() : font_(QString::fromLatin1(kLabelFontFamily)) {
    font_.setStyleHint(QFont::SansSerif);
    font_.setPixelSize(LabelPixelSize(fontPoints_));
    // Narrowed like the small bitmap face the labels stand for. Set here,
    // the width does not come from the device's own font, so the window and
    // an image show the same labels.
    font_.setStretch(kLabelFontStretch);
}

void QPainterSurface::begin(QPainter* painter, int width, int height) {
    painter_ = painter;
    width_ = width;
    height_ = height;
    penApplied_ = false;
    brushApplied_ = false;
    painter_->setRenderHint(QPainter::Antialiasing, false);
    painter_->setBackgroundMode(Qt::TransparentMode);
    painter_->setFont(font_);
}

void QPainterSurface::end() { painter_ = nullptr; }

void QPainterSurface::applyPen() {
    // A pen wider than one pixel is always solid, as on the original surface.
    const LineStyle style = state.lineWidth > 1 ? LineStyle::Solid : state.lineStyle;
    if (penApplied_ && penColor_ == state.foreColor && penStyle_ == style &&
        penWidth_ == state.lineWidth)
        return;
    QPen pen(ToQColor(state.foreColor));
    pen.setWidth(state.lineWidth);
    pen.setStyle(style == LineStyle::Dashed ? Qt::DashLine : Qt::SolidLine);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    painter_->setPen(pen);
    penApplied_ = true;
    penColor_ = state.foreColor;
    penStyle_ = style;
    penWidth_ = state.lineWidth;
}

void QPainterSurface::applyBrush() {
    if (brushApplied_ && brushPattern_ == state.fillPattern && brushColor_ == state.fillColor) return;
    switch (state.fillPattern) {
        case FillPattern::None: painter_->setBrush(Qt::NoBrush); break;
        case FillPattern::Solid: painter_->setBrush(QBrush(ToQColor(state.fillColor))); break;
        case FillPattern::CrossHatch:
            painter_->setBrush(QBrush(ToQColor(state.fillColor), Qt::DiagCrossPattern));
            break;
    }
    brushApplied_ = true;
    brushPattern_ = state.fillPattern;
    brushColor_ = state.fillColor;
}

bool QPainterSurface::outside(int left, int top, int right, int bottom, int margin) const {
    return right + margin < 0 || bottom + margin < 0 || left - margin >= width_ ||
           top - margin >= height_;
}

void QPainterSurface::clear(Rgb background) {
    if (!painter_) return;
    painter_->fillRect(0, 0, width_, height_, ToQColor(background));
}

void QPainterSurface::pixels(int x, int y, int width, int height, const uint32_t* argb, int stride) {
    if (!painter_ || width <= 0 || height <= 0) return;
    // Wrapped, not copied: the picture lives until the call returns.
    const QImage picture(reinterpret_cast<const uchar*>(argb), width, height, stride * 4, QImage::Format_RGB32);
    painter_->drawImage(x, y, picture);
}

void QPainterSurface::box(float x1, float y1, float x2, float y2) {
    if (!painter_) return;
    const int a = Px(x1), b = Px(y1), c = Px(x2), d = Px(y2);
    const int left = std::min(a, c), right = std::max(a, c);
    const int top = std::min(b, d), bottom = std::max(b, d);
    if (outside(left, top, right, bottom, state.lineWidth)) return;
    applyPen();
    applyBrush();
    painter_->drawRect(QRect(left, top, right - left, bottom - top));
}

void QPainterSurface::line(float x1, float y1, float x2, float y2) {
    if (!painter_) return;
    const int a = Px(x1), b = Px(y1), c = Px(x2), d = Px(y2);
    if (outside(std::min(a, c), std::min(b, d), std::max(a, c), std::max(b, d), state.lineWidth))
        return;
    applyPen();
    painter_->drawLine(a, b, c, d);
}

void QPainterSurface::circle(float cx, float cy, float radius) {
    if (!painter_) return;
    const int r = static_cast<int>(std::ceil(radius));
    if (outside(Px(cx) - r, Px(cy) - r, Px(cx) + r, Px(cy) + r, state.lineWidth)) return;
    applyPen();
    applyBrush();
    painter_->drawEllipse(QPointF(cx, cy), radius, radius);
}

const QStaticText& QPainterSurface::layout(const std::string& s) {
    const QByteArray probe = QByteArray::fromRawData(s.data(), static_cast<qsizetype>(s.size()));
    auto it = layouts_.constFind(probe);
    if (it != layouts_.constEnd()) return *it;
    QStaticText st(QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())));
    st.setTextFormat(Qt::PlainText);
    st.prepare(QTransform(), font_);
    return *layouts_.insert(QByteArray(s.data(), static_cast<qsizetype>(s.size())), st);
}

void QPainterSurface::text(const std::string& s, float left, float top, float right, float bottom) {
    if (!painter_ || s.empty()) return;
    const int l = Px(left), t = Px(top), r = Px(right), b = Px(bottom);
    // The rectangle clips the text; an empty one shows nothing.
    if (r <= l || b <= t || outside(l, t, r - 1, b - 1, 0)) return;
    applyPen();
    const QStaticText& st = layout(s);
    const QSizeF size = st.size();
    if (state.textBacking) {
        const qreal w = std::min<qreal>(size.width() + 2, r - l), h = std::min<qreal>(size.height(), b - t);
        painter_->fillRect(QRectF(l - 1, t, w, h), QColor(255, 255, 255, 200));
    }
    if (size.width() <= r - l && size.height() <= b - t) {
        painter_->drawStaticText(l, t, st);
        return;
    }
    painter_->setClipRect(QRect(l, t, r - l, b - t), Qt::ReplaceClip);
    painter_->drawStaticText(l, t, st);
    painter_->setClipping(false);
}

void QPainterSurface::setFontSize(int points) {
    if (points == fontPoints_) return;
    fontPoints_ = points;
    font_.setPixelSize(LabelPixelSize(points));
    layouts_.clear();
    if (painter_) painter_->setFont(font_);
}

}  // namespace mw
