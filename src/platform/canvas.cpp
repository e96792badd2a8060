#include "platform/canvas.h"

#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "platform/text_codec.h"

namespace vestrel {

// Pixels in one row, relative to a drawing's origin.
struct PixelRun {
    int16_t dy, dx, length;
};

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

namespace {

// A pixel of the image (0xFFRRGGBB) from a colour value (0x00BBGGRR).
constexpr uint32_t pixelOf(TColor c) {
    return 0xFF000000u | (static_cast<uint32_t>(redOf(c)) << 16) | (static_cast<uint32_t>(greenOf(c)) << 8) |
           static_cast<uint32_t>(blueOf(c));
}

// A text as the font draws it without antialiasing: the pixels it sets, as runs per row, relative to the
// top-left corner of its box. Glyphs land on whole pixels from a whole-pixel origin, so a text sets the
// same pixels wherever it is drawn and in whatever colour.
struct TextMask {
    int width = 0;
    bool exact = true;  // false when the font left pixels that are neither set nor untouched
    std::vector<PixelRun> runs;
};

// The font of a TFont, its metrics and the texts drawn with it, made once per distinct font: building
// them is costly and the program draws with a handful of fonts and a limited set of texts (numbers,
// names). Kept for the program's life (never freed after the application's font database is gone).
struct FontEntry {
    std::string name;
    int size;
    bool bold, italic;
    QFont font;
    QFontMetrics metrics;
    QHash<QString, TextMask> texts;
};

const FontEntry& fontEntry(const TFont& f) {
    static auto* cache = new std::vector<std::unique_ptr<FontEntry>>;
    static const FontEntry* last = nullptr;
    if (last && last->size == f.Size && last->bold == f.Bold && last->italic == f.Italic && last->name == f.Name)
        return *last;
    for (const auto& e : *cache) {
        if (e->size == f.Size && e->bold == f.Bold && e->italic == f.Italic && e->name == f.Name) {
            last = e.get();
            return *e;
        }
    }
    const QFont q = toQFont(f);
    cache->push_back(std::make_unique<FontEntry>(FontEntry{f.Name, f.Size, f.Bold, f.Italic, q, QFontMetrics(q), {}}));
    last = cache->back().get();
    return *last;
}

// The white pixels of a drawing made in white on black, as runs relative to (ox, oy); false when the
// painter left pixels that are neither (the drawing is then not exact).
bool whiteRuns(const QImage& scratch, int ox, int oy, std::vector<PixelRun>& runs) {
    bool exact = true;
    for (int y = 0; y < scratch.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(scratch.constScanLine(y));
        for (int x = 0; x < scratch.width();) {
            const QRgb v = line[x] & 0xFFFFFF;
            if (v != 0 && v != 0xFFFFFF) exact = false;
            if (v != 0xFFFFFF) {
                ++x;
                continue;
            }
            int end = x;
            while (end < scratch.width() && (line[end] & 0xFFFFFF) == 0xFFFFFF) ++end;
            runs.push_back({static_cast<int16_t>(y - oy), static_cast<int16_t>(x - ox), static_cast<int16_t>(end - x)});
            x = end;
        }
    }
    return exact;
}

// Draws the text once in white on black, with room around it for glyphs that reach out of their box.
TextMask renderTextMask(const FontEntry& font, const QString& text) {
    TextMask mask;
    mask.width = font.metrics.horizontalAdvance(text);
    const int margin = font.metrics.height() + 2;
    QImage scratch(mask.width + 2 * margin, font.metrics.height() + 2 * margin, QImage::Format_RGB32);
    scratch.fill(Qt::black);
    {
        QPainter p(&scratch);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.setFont(font.font);
        p.setPen(Qt::white);
        p.drawText(QPoint(margin, margin + font.metrics.ascent()), text);
    }
    mask.exact = whiteRuns(scratch, margin, margin, mask.runs);
    return mask;
}

const TextMask& textMask(const FontEntry& font, const QString& text) {
    auto& texts = const_cast<FontEntry&>(font).texts;
    auto it = texts.constFind(text);
    if (it != texts.constEnd()) return *it;
    if (texts.size() >= 4096) texts.clear();  // a bound for programs that draw ever new texts
    return *texts.insert(text, renderTextMask(font, text));
}

// A small ellipse as the painter draws it in copy mode with a one-pixel pen: which pixels end in the
// pen's colour and which in the brush's. The shape depends only on the box's size (whole-pixel boxes
// move without changing shape), and the markers and inputs of a layout use a few sizes.
struct EllipseMask {
    bool exact = true;
    std::vector<PixelRun> pen, brush;
};

EllipseMask renderEllipseMask(int w, int h, bool pen, bool brush) {
    EllipseMask mask;
    const int margin = 4;
    QImage scratch(w + 2 * margin, h + 2 * margin, QImage::Format_RGB32);
    scratch.fill(Qt::black);
    {
        QPainter p(&scratch);
        p.setRenderHint(QPainter::Antialiasing, false);
        if (pen) {
            QPen qp(QColor(255, 0, 0));
            qp.setWidth(1);
            qp.setCapStyle(Qt::RoundCap);
            qp.setJoinStyle(Qt::RoundJoin);
            p.setPen(qp);
        } else {
            p.setPen(Qt::NoPen);
        }
        p.setBrush(brush ? QBrush(QColor(0, 0, 255)) : QBrush(Qt::NoBrush));
        p.drawEllipse(QRect(margin, margin, w - 1, h - 1));
    }
    for (int y = 0; y < scratch.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(scratch.constScanLine(y));
        for (int x = 0; x < scratch.width();) {
            const QRgb v = line[x] & 0xFFFFFF;
            if (v == 0) {
                ++x;
                continue;
            }
            if (v != 0xFF0000 && v != 0x0000FF) {
                mask.exact = false;
                return mask;
            }
            int end = x;
            while (end < scratch.width() && (line[end] & 0xFFFFFF) == v) ++end;
            (v == 0xFF0000 ? mask.pen : mask.brush)
                .push_back({static_cast<int16_t>(y - margin), static_cast<int16_t>(x - margin),
                            static_cast<int16_t>(end - x)});
            x = end;
        }
    }
    return mask;
}

constexpr int kMaskedEllipseSize = 64;

const EllipseMask& ellipseMask(int w, int h, bool pen, bool brush) {
    static auto* cache = new QHash<quint64, EllipseMask>;
    const quint64 key = (static_cast<quint64>(w) << 32) | (static_cast<quint64>(h) << 2) | (pen ? 2u : 0u) | (brush ? 1u : 0u);
    auto it = cache->constFind(key);
    if (it != cache->constEnd()) return *it;
    return *cache->insert(key, renderEllipseMask(w, h, pen, brush));
}

// A short wide line as the painter draws it (round caps): the pixels it covers, relative to its start
// point. Like the ellipses, the shape depends only on the line's extent and the pen's width (lines from
// whole-pixel points move without changing shape), and the trains draw many short wide lines.
struct LineMask {
    bool exact = true;
    std::vector<PixelRun> runs;
};

LineMask renderLineMask(int dx, int dy, int width) {
    LineMask mask;
    const int margin = width + 2;
    const int ox = margin + std::max(-dx, 0), oy = margin + std::max(-dy, 0);
    QImage scratch(std::abs(dx) + 2 * margin + 1, std::abs(dy) + 2 * margin + 1, QImage::Format_RGB32);
    scratch.fill(Qt::black);
    {
        QPainter p(&scratch);
        p.setRenderHint(QPainter::Antialiasing, false);
        QPen qp(Qt::white);
        qp.setWidth(width);
        qp.setCapStyle(Qt::RoundCap);
        qp.setJoinStyle(Qt::RoundJoin);
        p.setPen(qp);
        p.drawLine(ox, oy, ox + dx, oy + dy);
    }
    mask.exact = whiteRuns(scratch, ox, oy, mask.runs);
    return mask;
}

constexpr int kMaskedLineExtent = 64;
constexpr int kMaskedLineWidth = 8;

const LineMask& lineMask(int dx, int dy, int width) {
    static auto* cache = new QHash<quint64, LineMask>;
    const quint64 key = (static_cast<quint64>(dx + kMaskedLineExtent) << 24) |
                        (static_cast<quint64>(dy + kMaskedLineExtent) << 8) | static_cast<quint64>(width);
    auto it = cache->constFind(key);
    if (it != cache->constEnd()) return *it;
    return *cache->insert(key, renderLineMask(dx, dy, width));
}

// The patterns of the styled thin pens (pixels on, pixels off, ...) unrolled over 24 pixels, a
// multiple of every pattern's period, so that the phase is a counter modulo 24.
constexpr int kDashPeriod = 24;
struct GapTable {
    bool gap[kDashPeriod];
};

constexpr GapTable makeGapTable(std::initializer_list<int> pattern) {
    GapTable t{};
    int phase = 0;
    while (phase < kDashPeriod) {
        bool on = true;
        for (int run : pattern) {
            for (int i = 0; i < run && phase < kDashPeriod; ++i) t.gap[phase++] = !on;
            on = !on;
        }
    }
    return t;
}

const GapTable* gapTable(PenStyle s) {
    static constexpr GapTable dash = makeGapTable({18, 6}), dot = makeGapTable({3, 3}),
                              dashDot = makeGapTable({9, 6, 3, 6}), dashDotDot = makeGapTable({9, 3, 3, 3, 3, 3});
    switch (s) {
        case PenStyle::Dash: return &dash;
        case PenStyle::Dot: return &dot;
        case PenStyle::DashDot: return &dashDot;
        case PenStyle::DashDotDot: return &dashDotDot;
        default: return nullptr;
    }
}

template <PenMode Mode>
inline uint32_t combine(uint32_t src, uint32_t dst) {
    if constexpr (Mode == PenMode::Copy) return src;
    if constexpr (Mode == PenMode::Xor) return 0xFF000000u | ((src ^ dst) & 0xFFFFFFu);
    if constexpr (Mode == PenMode::NotXor) return 0xFF000000u | (~(src ^ dst) & 0xFFFFFFu);
    return 0xFF000000u | (~dst & 0xFFFFFFu);
}

// One thin line's visible pixels: count pixels from p, stepping one pixel along the major axis every
// time and one along the minor axis whenever the error term passes 2 * major.
struct LineWalk {
    uint32_t* p;
    qsizetype majorStep, minorStep;  // in pixels
    int64_t count;
    int64_t rem, twoMinor, twoMajor;  // error term and its increments
    int phase;                        // into the pen's pattern
    const GapTable* gaps;             // null for a solid pen
    bool gapsDrawn;                   // the brush fills the gaps
    uint32_t pen, brush;
};

template <PenMode Mode>
void walkLine(LineWalk w) {
    for (int64_t k = 0; k < w.count; ++k) {
        uint32_t src = w.pen;
        bool draw = true;
        if (w.gaps) {
            const bool gap = w.gaps->gap[w.phase];
            if (++w.phase == kDashPeriod) w.phase = 0;
            if (gap) {
                src = w.brush;
                draw = w.gapsDrawn;
            }
        }
        if (draw) *w.p = combine<Mode>(src, *w.p);
        w.p += w.majorStep;
        w.rem += w.twoMinor;
        if (w.rem >= w.twoMajor) {
            w.rem -= w.twoMajor;
            w.p += w.minorStep;
        }
    }
}

int clampToInt(int64_t v) {
    return v > std::numeric_limits<int>::max()   ? std::numeric_limits<int>::max()
           : v < std::numeric_limits<int>::min() ? std::numeric_limits<int>::min()
                                                 : static_cast<int>(v);
}

// The painter works in fixed-point coordinates of limited range: shapes reaching further than this
// are not handed to it (they lie almost wholly off any image the program makes).
constexpr int64_t kPainterRange = 1 << 22;
bool withinPainterRange(int64_t left, int64_t top, int64_t right, int64_t bottom) {
    return left >= -kPainterRange && top >= -kPainterRange && right <= kPainterRange && bottom <= kPainterRange;
}

using Wide = __int128;

Wide floorDiv(Wide a, Wide b) {  // b > 0
    Wide q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}
Wide ceilDiv(Wide a, Wide b) { return -floorDiv(-a, b); }

}  // namespace

// What the open painter was last given, so that a run of drawings sets only what changes.
struct Canvas::PainterState {
    enum class PenKind { Unknown, None, Shape, Text };
    int composition = -1;
    PenKind pen = PenKind::Unknown;
    TColor penColour = 0;
    int penWidth = 0;
    bool brushKnown = false, brush = false;
    TColor brushColour = 0;
    const FontEntry* font = nullptr;
};

Canvas::Canvas() = default;
Canvas::Canvas(int width, int height, TColor fill) { resize(width, height, fill); }

Canvas::Canvas(const Canvas& other)
    : Pen(other.Pen), Brush(other.Brush), Font(other.Font), penPos_(other.penPos_), dashPhase_(other.dashPhase_) {
    image_ = other.image();
    noteAllDrawn();
}

Canvas& Canvas::operator=(const Canvas& other) {
    if (this == &other) return *this;
    finishPainting();
    image_ = other.image();
    Pen = other.Pen;
    Brush = other.Brush;
    Font = other.Font;
    penPos_ = other.penPos_;
    dashPhase_ = other.dashPhase_;
    noteAllDrawn();
    return *this;
}

Canvas::~Canvas() { finishPainting(); }

void Canvas::resize(int width, int height, TColor fill) {
    finishPainting();
    image_ = QImage(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    image_.fill(toQColor(fill));
    noteAllDrawn();
}

namespace {
constexpr int kDrawnTile = 32;
}

void Canvas::noteAllDrawn() {
    tileColumns_ = (image_.width() + kDrawnTile - 1) / kDrawnTile;
    tileRows_ = (image_.height() + kDrawnTile - 1) / kDrawnTile;
    drawnTiles_.assign(static_cast<size_t>(tileColumns_) * tileRows_, 1);
    drawnAny_ = !drawnTiles_.empty();
}

void Canvas::noteDrawn(int64_t left, int64_t top, int64_t right, int64_t bottom, int margin) {
    left -= margin;
    top -= margin;
    right += margin;
    bottom += margin;
    const int w = image_.width(), h = image_.height();
    if (right <= left || bottom <= top || right <= 0 || bottom <= 0 || left >= w || top >= h) return;
    const int c0 = static_cast<int>(std::max<int64_t>(left, 0)) / kDrawnTile;
    const int c1 = static_cast<int>(std::min<int64_t>(right, w) - 1) / kDrawnTile;
    const int r0 = static_cast<int>(std::max<int64_t>(top, 0)) / kDrawnTile;
    const int r1 = static_cast<int>(std::min<int64_t>(bottom, h) - 1) / kDrawnTile;
    if (c1 >= tileColumns_ || r1 >= tileRows_) {
        noteAllDrawn();
        return;
    }
    for (int r = r0; r <= r1; ++r) std::fill_n(drawnTiles_.begin() + r * tileColumns_ + c0, c1 - c0 + 1, 1);
    drawnAny_ = true;
}

// Runs of drawn tiles along each tile row; a run with the same columns as one in the row above extends
// that rectangle downwards.
std::vector<Rect> Canvas::takeDrawnRects() {
    std::vector<Rect> rects;
    if (!drawnAny_) return rects;
    drawnAny_ = false;
    const int w = image_.width(), h = image_.height();
    size_t previousRow = 0, previousEnd = 0;  // rects[previousRow, previousEnd) end at the row above
    for (int r = 0; r < tileRows_; ++r) {
        const size_t rowStart = rects.size();
        uint8_t* tiles = drawnTiles_.data() + static_cast<size_t>(r) * tileColumns_;
        const int top = r * kDrawnTile, bottom = std::min(top + kDrawnTile, h);
        for (int c = 0; c < tileColumns_;) {
            if (!tiles[c]) {
                ++c;
                continue;
            }
            int end = c;
            while (end < tileColumns_ && tiles[end]) tiles[end++] = 0;
            const int left = c * kDrawnTile, right = std::min(end * kDrawnTile, w);
            bool extended = false;
            for (size_t i = previousRow; i < previousEnd && !extended; ++i) {
                if (rects[i].left == left && rects[i].right == right && rects[i].bottom == top) {
                    rects[i].bottom = bottom;
                    extended = true;
                    rects.push_back(rects[i]);
                    rects[i].bottom = -1;  // moved on to this row
                }
            }
            if (!extended) rects.push_back({left, top, right, bottom});
            c = end;
        }
        previousRow = rowStart;
        previousEnd = rects.size();
    }
    std::erase_if(rects, [](const Rect& x) { return x.bottom < 0; });
    return rects;
}

void Canvas::finishPainting() const {
    if (painter_) painter_->end();
    painter_.reset();
    // Whoever is handed the image may keep a shared copy: take the pixels afresh (detaching) next time.
    bits_ = nullptr;
}

// Direct writes and the painter share the image's pixels: the raster painter draws at once into the
// same memory, so the two may alternate while the painter stays open.
void Canvas::takePixels() const {
    // Taking the pixels for writing detaches the image from any copy handed out before (cheap otherwise).
    bits_ = const_cast<QImage&>(image_).bits();
    stride_ = image_.bytesPerLine();
    width_ = image_.width();
    height_ = image_.height();
}

QPainter& Canvas::painter() {
    if (!painter_) {
        row(0);  // detach before the painter takes the pixels
        painter_ = std::make_unique<QPainter>(&image_);
        painter_->setRenderHint(QPainter::Antialiasing, false);
        painter_->setRenderHint(QPainter::TextAntialiasing, false);
        painterState_ = std::make_unique<PainterState>();
    }
    return *painter_;
}

// The painter's raster operation, pen and brush as the canvas's own; unchanged settings are not set again.
void Canvas::usePenAndBrush(bool withPen, bool withBrush, PenMode mode) {
    QPainter& p = painter();
    PainterState& st = *painterState_;
    QPainter::CompositionMode comp = QPainter::CompositionMode_SourceOver;
    switch (mode) {
        case PenMode::Xor: comp = QPainter::RasterOp_SourceXorDestination; break;
        case PenMode::NotXor: comp = QPainter::RasterOp_NotSourceXorDestination; break;
        case PenMode::Not: comp = QPainter::RasterOp_NotDestination; break;
        default: break;
    }
    if (st.composition != comp) {
        p.setCompositionMode(comp);
        st.composition = comp;
    }
    using PenKind = PainterState::PenKind;
    const PenKind pen = withPen && Pen.Style != PenStyle::Clear ? PenKind::Shape : PenKind::None;
    const int width = Pen.Width <= 1 ? 1 : Pen.Width;
    if (st.pen != pen || (pen == PenKind::Shape && (st.penColour != Pen.Color || st.penWidth != width))) {
        if (pen == PenKind::Shape) {
            QPen qp(toQColor(Pen.Color));
            qp.setWidth(width);
            qp.setCapStyle(Qt::RoundCap);
            qp.setJoinStyle(Qt::RoundJoin);
            p.setPen(qp);
        } else {
            p.setPen(Qt::NoPen);
        }
        st.pen = pen;
        st.penColour = Pen.Color;
        st.penWidth = width;
    }
    const bool brush = withBrush && Brush.Style == BrushStyle::Solid;
    if (!st.brushKnown || st.brush != brush || (brush && st.brushColour != Brush.Color)) {
        if (brush)
            p.setBrush(toQColor(Brush.Color));
        else
            p.setBrush(Qt::NoBrush);
        st.brush = brush;
        st.brushColour = Brush.Color;
        st.brushKnown = true;
    }
}

// Bresenham from (x0,y0) towards (x1,y1), leaving out the last pixel. Pixel k of the n = max(|dx|,|dy|)
// pixels lies k steps along the major axis and floor((2 minor k + major) / (2 major)) along the other,
// so the part on the image is found before stepping and only that part is walked: a line however far
// off the image costs no more than its visible pixels. The pen's pattern still counts every pixel.
void Canvas::thinLine(int x0, int y0, int x1, int y1) {
    const int64_t dx = std::abs(static_cast<int64_t>(x1) - x0), dy = std::abs(static_cast<int64_t>(y1) - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    const bool xMajor = dx >= dy;
    const int64_t major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
    if (major == 0) return;
    const GapTable* gaps = gapTable(Pen.Style);
    const int startPhase = dashPhase_;
    if (gaps) dashPhase_ = static_cast<int>((dashPhase_ + major) % kDashPeriod);
    if (!onImage(0, 0)) return;  // a null image
    if (onImage(x0, y0) && onImage(x1, y1)) {  // the usual case: nothing to clip
        walkThinLine(row(y0) + x0, xMajor, sx, sy, major, minor, major, major, startPhase, gaps);
        return;
    }

    const int64_t a0 = xMajor ? x0 : y0, b0 = xMajor ? y0 : x0;
    const int sa = xMajor ? sx : sy, sb = xMajor ? sy : sx;
    const int64_t aSize = xMajor ? width_ : height_, bSize = xMajor ? height_ : width_;
    // Steps k whose major coordinate a0 + sa k lies on the image.
    int64_t kFirst = 0, kLast = major - 1;
    if (sa > 0) {
        kFirst = std::max(kFirst, -a0);
        kLast = std::min(kLast, aSize - 1 - a0);
    } else {
        kFirst = std::max(kFirst, a0 - (aSize - 1));
        kLast = std::min(kLast, a0);
    }
    // Minor offsets j that lie on the image, and the steps that reach them (j grows with k).
    const int64_t jLow = sb > 0 ? -b0 : b0 - (bSize - 1), jHigh = sb > 0 ? bSize - 1 - b0 : b0;
    if (jHigh < 0 || jLow > jHigh) return;
    const Wide M = major, m = minor;
    if (minor == 0) {
        if (jLow > 0) return;
    } else {
        if (jLow > 0) kFirst = std::max<Wide>(kFirst, ceilDiv(2 * M * jLow - M, 2 * m));
        kLast = std::min<Wide>(kLast, ceilDiv(2 * M * (jHigh + 1) - M, 2 * m) - 1);
    }
    if (kFirst > kLast) return;

    const Wide num = 2 * m * kFirst + M;
    const int64_t j = static_cast<int64_t>(num / (2 * M));
    const int ax = static_cast<int>(a0 + sa * kFirst), bx = static_cast<int>(b0 + sb * j);
    const int px = xMajor ? ax : bx, py = xMajor ? bx : ax;
    walkThinLine(row(py) + px, xMajor, sx, sy, kLast - kFirst + 1, minor, static_cast<int64_t>(num % (2 * M)), major,
                 startPhase + kFirst, gaps);
}

// Walks count pixels of a thin line from p; rem is the error term of the first, phase its place in the pattern.
void Canvas::walkThinLine(uint32_t* p, bool xMajor, int sx, int sy, int64_t count, int64_t minor, int64_t rem,
                          int64_t major, int64_t phase, const void* gapTable) {
    LineWalk w{};
    w.p = p;
    const qsizetype rowStep = stride_ / static_cast<qsizetype>(sizeof(uint32_t));
    w.majorStep = xMajor ? sx : sy * rowStep;
    w.minorStep = xMajor ? sy * rowStep : sx;
    w.count = count;
    w.rem = rem;
    w.twoMinor = 2 * minor;
    w.twoMajor = 2 * major;
    w.phase = static_cast<int>(phase % kDashPeriod);
    w.gaps = static_cast<const GapTable*>(gapTable);
    w.gapsDrawn = Brush.Style == BrushStyle::Solid;
    w.pen = pixelOf(Pen.Color);
    w.brush = pixelOf(Brush.Color);
    switch (Pen.Mode) {
        case PenMode::Copy: walkLine<PenMode::Copy>(w); break;
        case PenMode::Xor: walkLine<PenMode::Xor>(w); break;
        case PenMode::NotXor: walkLine<PenMode::NotXor>(w); break;
        case PenMode::Not: walkLine<PenMode::Not>(w); break;
    }
}

void Canvas::LineTo(int x, int y) {
    if (Pen.Style != PenStyle::Clear && !image_.isNull()) {
        noteDrawn(std::min(penPos_.x, x), std::min(penPos_.y, y), int64_t{std::max(penPos_.x, x)} + 1,
                  int64_t{std::max(penPos_.y, y)} + 1, std::max(Pen.Width, 1) + 1);
        const int64_t dx = static_cast<int64_t>(x) - penPos_.x, dy = static_cast<int64_t>(y) - penPos_.y;
        const bool shortLine = std::abs(dx) <= kMaskedLineExtent && std::abs(dy) <= kMaskedLineExtent;
        if (Pen.Width <= 1) {
            thinLine(penPos_.x, penPos_.y, x, y);
        } else if (Pen.Width <= kMaskedLineWidth && shortLine && lineMask(int(dx), int(dy), Pen.Width).exact) {
            paintRuns(lineMask(int(dx), int(dy), Pen.Width).runs, penPos_.x, penPos_.y, pixelOf(Pen.Color), Pen.Mode);
        } else if (withinPainterRange(std::min(penPos_.x, x), std::min(penPos_.y, y), std::max(penPos_.x, x),
                                      std::max(penPos_.y, y))) {
            usePenAndBrush(true, false, Pen.Mode);
            painter().drawLine(penPos_.x, penPos_.y, x, y);
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
    bool inRange = true;
    int64_t left = pts[0].x, top = pts[0].y, right = pts[0].x, bottom = pts[0].y;
    for (const auto& pt : pts) {
        left = std::min<int64_t>(left, pt.x);
        top = std::min<int64_t>(top, pt.y);
        right = std::max<int64_t>(right, pt.x);
        bottom = std::max<int64_t>(bottom, pt.y);
    }
    noteDrawn(left, top, right + 1, bottom + 1, std::max(Pen.Width, 1) + 1);
    for (const auto& pt : pts) {
        poly << QPoint(pt.x, pt.y);
        inRange = inRange && withinPainterRange(pt.x, pt.y, pt.x, pt.y);
    }
    if (Brush.Style == BrushStyle::Solid && inRange) {
        usePenAndBrush(false, true, Pen.Mode);
        painter().drawPolygon(poly);
    }
    if (Pen.Width <= 1) {
        Point saved = penPos_;
        MoveTo(pts[0].x, pts[0].y);
        for (size_t i = 1; i < pts.size(); ++i) LineTo(pts[i].x, pts[i].y);
        LineTo(pts[0].x, pts[0].y);
        penPos_ = saved;
    } else if (inRange) {
        usePenAndBrush(true, false, Pen.Mode);
        painter().drawPolygon(poly);
    }
}

// Whether a box (right and bottom left out) comes near the image, wide pens included.
bool Canvas::nearImage(int left, int top, int right, int bottom) const {
    const int64_t m = 8 + std::max(Pen.Width, 0);
    return onImage(0, 0) && right + m > 0 && bottom + m > 0 && left - m < width_ && top - m < height_;
}

bool Canvas::clipToImage(Rect& r) const {
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    onImage(0, 0);
    r.right = std::min(r.right, width_);
    r.bottom = std::min(r.bottom, height_);
    return r.left < r.right && r.top < r.bottom;
}

void Canvas::fillSpan(uint32_t* line, int from, int to, uint32_t colour, PenMode mode) {
    switch (mode) {
        case PenMode::Copy: std::fill(line + from, line + to, colour); break;
        case PenMode::Xor:
            for (int x = from; x < to; ++x) line[x] = combine<PenMode::Xor>(colour, line[x]);
            break;
        case PenMode::NotXor:
            for (int x = from; x < to; ++x) line[x] = combine<PenMode::NotXor>(colour, line[x]);
            break;
        case PenMode::Not:
            for (int x = from; x < to; ++x) line[x] = combine<PenMode::Not>(colour, line[x]);
            break;
    }
}

void Canvas::Rectangle(int left, int top, int right, int bottom) {
    if (image_.isNull() || right <= left || bottom <= top) return;
    noteDrawn(left, top, right, bottom, std::max(Pen.Width, 1));
    Rect inside{left, top, right, bottom};
    if (Brush.Style == BrushStyle::Solid && clipToImage(inside)) {
        const uint32_t colour = pixelOf(Brush.Color);
        for (int y = inside.top; y < inside.bottom; ++y) fillSpan(row(y), inside.left, inside.right, colour, Pen.Mode);
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
    } else if (withinPainterRange(left, top, right, bottom)) {
        usePenAndBrush(true, false, Pen.Mode);
        int inset = Pen.Width / 2;
        painter().drawRect(QRect(left + inset, top + inset, right - left - Pen.Width, bottom - top - Pen.Width));
    }
}

void Canvas::Ellipse(int left, int top, int right, int bottom) {
    if (image_.isNull() || right <= left || bottom <= top || !nearImage(left, top, right, bottom)) return;
    noteDrawn(left, top, right, bottom, std::max(Pen.Width, 1));
    const int64_t w = static_cast<int64_t>(right) - left, h = static_cast<int64_t>(bottom) - top;
    const bool pen = Pen.Style != PenStyle::Clear, brush = Brush.Style == BrushStyle::Solid;
    if (Pen.Mode == PenMode::Copy && Pen.Width <= 1 && w <= kMaskedEllipseSize && h <= kMaskedEllipseSize) {
        const EllipseMask& mask = ellipseMask(static_cast<int>(w), static_cast<int>(h), pen, brush);
        if (mask.exact) {
            paintRuns(mask.brush, left, top, pixelOf(Brush.Color));
            paintRuns(mask.pen, left, top, pixelOf(Pen.Color));
            return;
        }
    }
    if (!withinPainterRange(left, top, right, bottom)) return;
    usePenAndBrush(true, true, Pen.Mode);
    // Qt's aliased ellipse covers width+1 pixels; the box leaves out its right and bottom edge.
    painter().drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
}

// Runs of pixels relative to (x, y) in one colour, as far as they lie on the image.
void Canvas::paintRuns(const std::vector<PixelRun>& runs, int x, int y, uint32_t colour, PenMode mode) {
    if (!onImage(0, 0)) return;
    for (const PixelRun& run : runs) {
        const int64_t py = static_cast<int64_t>(y) + run.dy;
        if (py < 0 || py >= height_) continue;
        const int64_t from = std::max<int64_t>(static_cast<int64_t>(x) + run.dx, 0),
                      to = std::min<int64_t>(static_cast<int64_t>(x) + run.dx + run.length, width_);
        if (from < to) fillSpan(row(static_cast<int>(py)), static_cast<int>(from), static_cast<int>(to), colour, mode);
    }
}

void Canvas::FillRect(const Rect& r) {
    Rect inside = r;
    if (r.right <= r.left || r.bottom <= r.top || !clipToImage(inside)) return;
    noteDrawn(inside.left, inside.top, inside.right, inside.bottom);
    const uint32_t colour = pixelOf(Brush.Color);
    for (int y = inside.top; y < inside.bottom; ++y) fillSpan(row(y), inside.left, inside.right, colour, PenMode::Copy);
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
    const FontEntry& font = fontEntry(Font);
    const TextMask& mask = textMask(font, text);
    const int right = clampToInt(static_cast<int64_t>(x) + mask.width);
    // Glyphs may reach a little beyond their advance (italics, overhangs).
    noteDrawn(x, y, right, int64_t{y} + font.metrics.height(), font.metrics.height());
    if (Brush.Style == BrushStyle::Solid) FillRect({x, y, right, clampToInt(static_cast<int64_t>(y) + font.metrics.height())});
    penPos_ = {right, y};
    if (mask.exact) {
        paintRuns(mask.runs, x, y, pixelOf(Font.Color));
        return;
    }
    if (!withinPainterRange(x, y, right, y)) return;
    QPainter& p = painter();
    PainterState& st = *painterState_;
    if (st.composition != QPainter::CompositionMode_SourceOver) {
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        st.composition = QPainter::CompositionMode_SourceOver;
    }
    if (st.font != &font) {
        p.setFont(font.font);
        st.font = &font;
    }
    if (st.pen != PainterState::PenKind::Text || st.penColour != Font.Color) {
        p.setPen(toQColor(Font.Color));
        st.pen = PainterState::PenKind::Text;
        st.penColour = Font.Color;
    }
    p.drawText(QPoint(x, y + font.metrics.ascent()), text);
}

int Canvas::TextWidth(const std::string& text) const { return textMask(fontEntry(Font), fromCp1252(text)).width; }

int Canvas::TextHeight(const std::string&) const { return fontEntry(Font).metrics.height(); }

TColor Canvas::Pixel(int x, int y) const {
    if (!onImage(x, y)) return 0xFFFFFFFF;
    const QRgb p = reinterpret_cast<const QRgb*>(bits_ + stride_ * y)[x];
    return rgb(qRed(p), qGreen(p), qBlue(p));
}

void Canvas::SetPixel(int x, int y, TColor c) {
    if (!onImage(x, y)) return;
    row(y)[x] = pixelOf(c);
    noteDrawn(x, y, int64_t{x} + 1, int64_t{y} + 1);
}

void Canvas::CopyRect(const Rect& dst, const Canvas& src, const Rect& srcRect) {
    if (image_.isNull() || src.image_.isNull()) return;
    noteDrawn(std::min(dst.left, dst.right), std::min(dst.top, dst.bottom), std::max(dst.left, dst.right),
              std::max(dst.top, dst.bottom), 1);
    const bool sameSize = dst.width() == srcRect.width() && dst.height() == srcRect.height();
    const bool inside = srcRect.left >= 0 && srcRect.top >= 0 && srcRect.right <= src.width() &&
                        srcRect.bottom <= src.height() && dst.left >= 0 && dst.top >= 0 && dst.right <= width() &&
                        dst.bottom <= height();
    if (sameSize && inside && &src != this && dst.width() > 0 && dst.height() > 0) {
        const size_t bytes = static_cast<size_t>(dst.width()) * sizeof(uint32_t);
        for (int y = 0; y < dst.height(); ++y)
            std::memcpy(row(dst.top + y) + dst.left,
                        reinterpret_cast<const uint32_t*>(src.image_.constScanLine(srcRect.top + y)) + srcRect.left,
                        bytes);
        return;
    }
    src.finishPainting();
    QImage part = src.image_.copy(srcRect.left, srcRect.top, srcRect.width(), srcRect.height());
    StretchDraw(dst, part);
}

void Canvas::Draw(int x, int y, const QImage& img) {
    if (image_.isNull() || img.isNull()) return;
    noteDrawn(x, y, int64_t{x} + img.width(), int64_t{y} + img.height());
    usePenAndBrush(false, false, PenMode::Copy);
    painter().drawImage(QPoint(x, y), img);
}

void Canvas::StretchDraw(const Rect& dst, const QImage& img) {
    if (image_.isNull() || img.isNull() || dst.width() <= 0 || dst.height() <= 0) return;
    noteDrawn(dst.left, dst.top, dst.right, dst.bottom, 1);
    usePenAndBrush(false, false, PenMode::Copy);
    QPainter& p = painter();
    if (img.width() == dst.width() && img.height() == dst.height())
        p.drawImage(QPoint(dst.left, dst.top), img);
    else
        p.drawImage(QRect(dst.left, dst.top, dst.width(), dst.height()), img);
}

bool Canvas::savePng(const std::string& path) const { return image().save(QString::fromStdString(path), "PNG"); }

}  // namespace vestrel
