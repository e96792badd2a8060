#include "platform/canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <cmath>
#include <cstdlib>

#include "platform/text_codec.h"

namespace vestrel {

QColor toQColor(TColor c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }
TColor fromQColor(const QColor& c) { return rgb(c.red(), c.green(), c.blue()); }

int fontPixelHeight(int points) { return (points * 96 + 36) / 72; }

QFont toQFont(const TFont& f) {
    QFont q;
    // Arial, "MS Sans Serif" and "Courier New" are not on Linux; Liberation Sans has Arial's metrics and
    // Liberation Mono those of Courier New.
    QString family = QString::fromStdString(f.Name);
    if (family.compare("Arial", Qt::CaseInsensitive) == 0 || family.contains("Sans Serif", Qt::CaseInsensitive))
        family = "Liberation Sans";
    if (family.compare("Courier New", Qt::CaseInsensitive) == 0) family = "Liberation Mono";
    q.setFamilies({family, "Liberation Sans", "DejaVu Sans"});
    q.setPixelSize(fontPixelHeight(f.Size));
    q.setBold(f.Bold);
    q.setItalic(f.Italic);
    q.setStyleStrategy(QFont::NoAntialias);
    return q;
}

Canvas::Canvas(int width, int height, TColor fill) { resize(width, height, fill); }

void Canvas::resize(int width, int height, TColor fill) {
    image_ = QImage(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    image_.fill(toQColor(fill));
}

// Patterns of the styled thin pens (pixels on, pixels off, ...).
static const std::vector<int>& dashPattern(PenStyle s) {
    static const std::vector<int> dash = {18, 6}, dot = {3, 3}, dashDot = {9, 6, 3, 6},
                                  dashDotDot = {9, 3, 3, 3, 3, 3}, none = {};
    switch (s) {
        case PenStyle::Dash: return dash;
        case PenStyle::Dot: return dot;
        case PenStyle::DashDot: return dashDot;
        case PenStyle::DashDotDot: return dashDotDot;
        default: return none;
    }
}

// Whether the next pixel of a styled pen falls in a gap of its pattern; the pattern runs on along a
// chain of lines and starts afresh at every MoveTo.
bool Canvas::inDashGap() {
    const auto& pat = dashPattern(Pen.Style);
    if (pat.empty()) return false;
    int period = 0;
    for (int v : pat) period += v;
    int phase = dashPhase_++ % period;
    for (size_t i = 0; i < pat.size(); ++i) {
        if (phase < pat[i]) return i % 2 == 1;
        phase -= pat[i];
    }
    return false;
}

void Canvas::plot(int x, int y) {
    // The gaps of a styled pen take the brush colour (in the pen's mode) unless the brush is clear.
    const bool gap = inDashGap();
    if (gap && Brush.Style != BrushStyle::Solid) return;
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) return;
    auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
    QRgb dst = line[x] & 0xFFFFFF;
    QRgb src = toQColor(gap ? Brush.Color : Pen.Color).rgb() & 0xFFFFFF;
    QRgb out = src;
    switch (Pen.Mode) {
        case PenMode::Copy: out = src; break;
        case PenMode::Xor: out = src ^ dst; break;
        case PenMode::NotXor: out = ~(src ^ dst) & 0xFFFFFF; break;
        case PenMode::Not: out = ~dst & 0xFFFFFF; break;
    }
    line[x] = 0xFF000000 | out;
}

// Bresenham from (x0,y0) towards (x1,y1), leaving out the last pixel.
void Canvas::thinLine(int x0, int y0, int x1, int y1) {
    int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    while (!(x0 == x1 && y0 == y1)) {
        plot(x0, y0);
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void Canvas::setupPainter(QPainter& p, bool withPen, bool withBrush) const {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    switch (Pen.Mode) {
        case PenMode::Xor: p.setCompositionMode(QPainter::RasterOp_SourceXorDestination); break;
        case PenMode::NotXor: p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination); break;
        case PenMode::Not: p.setCompositionMode(QPainter::RasterOp_NotDestination); break;
        default: break;
    }
    if (withPen && Pen.Style != PenStyle::Clear) {
        QPen qp(toQColor(Pen.Color));
        qp.setWidth(Pen.Width <= 1 ? 1 : Pen.Width);
        qp.setCapStyle(Qt::RoundCap);
        qp.setJoinStyle(Qt::RoundJoin);
        p.setPen(qp);
    } else {
        p.setPen(Qt::NoPen);
    }
    if (withBrush && Brush.Style == BrushStyle::Solid)
        p.setBrush(toQColor(Brush.Color));
    else
        p.setBrush(Qt::NoBrush);
}

void Canvas::LineTo(int x, int y) {
    if (Pen.Style != PenStyle::Clear && !image_.isNull()) {
        if (Pen.Width <= 1) {
            thinLine(penPos_.x, penPos_.y, x, y);
        } else {
            QPainter p(&image_);
            setupPainter(p, true, false);
            p.drawLine(penPos_.x, penPos_.y, x, y);
        }
    }
    penPos_ = {x, y};
}

void Canvas::Polyline(const std::vector<Point>& pts) {
    if (pts.empty()) return;
    Point saved = penPos_;
    MoveTo(pts[0].x, pts[0].y);
    for (size_t i = 1; i < pts.size(); ++i) LineTo(pts[i].x, pts[i].y);
    penPos_ = saved;
}

void Canvas::Polygon(const std::vector<Point>& pts) {
    if (pts.size() < 2 || image_.isNull()) return;
    QPolygon poly;
    for (const auto& pt : pts) poly << QPoint(pt.x, pt.y);
    if (Brush.Style == BrushStyle::Solid) {
        QPainter p(&image_);
        setupPainter(p, false, true);
        p.drawPolygon(poly);
    }
    if (Pen.Width <= 1) {
        Point saved = penPos_;
        MoveTo(pts[0].x, pts[0].y);
        for (size_t i = 1; i < pts.size(); ++i) LineTo(pts[i].x, pts[i].y);
        LineTo(pts[0].x, pts[0].y);
        penPos_ = saved;
    } else {
        QPainter p(&image_);
        setupPainter(p, true, false);
        p.drawPolygon(poly);
    }
}

void Canvas::Rectangle(int left, int top, int right, int bottom) {
    if (image_.isNull() || right <= left || bottom <= top) return;
    if (Brush.Style == BrushStyle::Solid) {
        QPainter p(&image_);
        setupPainter(p, false, true);
        p.fillRect(QRect(left, top, right - left, bottom - top), p.brush());
    }
    if (Pen.Style == PenStyle::Clear) return;
    if (Pen.Width <= 1) {
        Point saved = penPos_;
        MoveTo(left, top);
        LineTo(right - 1, top);
        LineTo(right - 1, bottom - 1);
        LineTo(left, bottom - 1);
        LineTo(left, top);
        penPos_ = saved;
    } else {
        QPainter p(&image_);
        setupPainter(p, true, false);
        int inset = Pen.Width / 2;
        p.drawRect(QRect(left + inset, top + inset, right - left - Pen.Width, bottom - top - Pen.Width));
    }
}

void Canvas::Ellipse(int left, int top, int right, int bottom) {
    if (image_.isNull() || right <= left || bottom <= top) return;
    QPainter p(&image_);
    setupPainter(p, true, true);
    // Qt's aliased ellipse covers width+1 pixels; the box leaves out its right and bottom edge.
    p.drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
}

void Canvas::FillRect(const Rect& r) {
    if (image_.isNull() || r.right <= r.left || r.bottom <= r.top) return;
    QPainter p(&image_);
    p.fillRect(QRect(r.left, r.top, r.width(), r.height()), toQColor(Brush.Color));
}

void Canvas::FrameRect(const Rect& r) {
    if (r.right <= r.left || r.bottom <= r.top) return;
    TPen saved = Pen;
    Point savedPos = penPos_;
    Pen = TPen{Brush.Color, 1, PenStyle::Solid, PenMode::Copy};
    MoveTo(r.left, r.top);
    LineTo(r.right - 1, r.top);
    LineTo(r.right - 1, r.bottom - 1);
    LineTo(r.left, r.bottom - 1);
    LineTo(r.left, r.top);
    Pen = saved;
    penPos_ = savedPos;
}

void Canvas::TextOut(int x, int y, const std::string& text) { TextOutW(x, y, fromCp1252(text)); }

void Canvas::TextOutW(int x, int y, const QString& text) {
    if (image_.isNull()) return;
    QPainter p(&image_);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    QFont f = toQFont(Font);
    p.setFont(f);
    QFontMetrics fm(f);
    QRect box(x, y, fm.horizontalAdvance(text), fm.height());
    if (Brush.Style == BrushStyle::Solid) p.fillRect(box, toQColor(Brush.Color));
    p.setPen(toQColor(Font.Color));
    p.drawText(QPoint(x, y + fm.ascent()), text);
    penPos_ = {x + box.width(), y};
}

int Canvas::TextWidth(const std::string& text) const {
    return QFontMetrics(toQFont(Font)).horizontalAdvance(fromCp1252(text));
}

int Canvas::TextHeight(const std::string&) const { return QFontMetrics(toQFont(Font)).height(); }

TColor Canvas::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) return 0xFFFFFFFF;
    return fromQColor(QColor(image_.pixel(x, y)));
}

void Canvas::SetPixel(int x, int y, TColor c) {
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) return;
    image_.setPixel(x, y, toQColor(c).rgb());
}

void Canvas::CopyRect(const Rect& dst, const Canvas& src, const Rect& srcRect) {
    if (image_.isNull() || src.image_.isNull()) return;
    QImage part = src.image_.copy(srcRect.left, srcRect.top, srcRect.width(), srcRect.height());
    StretchDraw(dst, part);
}

void Canvas::Draw(int x, int y, const QImage& img) {
    if (image_.isNull() || img.isNull()) return;
    QPainter p(&image_);
    p.drawImage(QPoint(x, y), img);
}

void Canvas::StretchDraw(const Rect& dst, const QImage& img) {
    if (image_.isNull() || img.isNull() || dst.width() <= 0 || dst.height() <= 0) return;
    QPainter p(&image_);
    if (img.width() == dst.width() && img.height() == dst.height())
        p.drawImage(QPoint(dst.left, dst.top), img);
    else
        p.drawImage(QRect(dst.left, dst.top, dst.width(), dst.height()), img);
}

bool Canvas::savePng(const std::string& path) const { return image_.save(QString::fromStdString(path), "PNG"); }

}  // namespace vestrel
