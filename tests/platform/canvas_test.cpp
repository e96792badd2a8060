#include <gtest/gtest.h>

#include <QPainter>

#include <cstdlib>
#include <limits>
#include <random>
#include <vector>

#include "platform/canvas.h"

using namespace vestrel;

TEST(Canvas, ColoursAreBgrValues) {
    EXPECT_EQ(rgb(1, 2, 3), 0x00030201u);
    Canvas c(4, 4, clSilver);
    c.SetPixel(1, 1, rgb(10, 20, 30));
    EXPECT_EQ(c.Pixel(1, 1), rgb(10, 20, 30));
    EXPECT_EQ(c.Pixel(0, 0), rgb(192, 192, 192));
    EXPECT_EQ(toQColor(clRed), QColor(255, 0, 0));
    EXPECT_EQ(c.Pixel(-1, 0), 0xFFFFFFFFu);
}

TEST(Canvas, LineLeavesOutItsEndPixel) {
    Canvas c(10, 10, clWhite);
    c.Pen.Color = clBlack;
    c.MoveTo(1, 1);
    c.LineTo(5, 1);
    for (int x = 1; x < 5; ++x) EXPECT_EQ(c.Pixel(x, 1), clBlack) << x;
    EXPECT_EQ(c.Pixel(5, 1), clWhite);
    EXPECT_EQ(c.PenPos().x, 5);
    c.LineTo(5, 4);  // the corner is drawn once, by the second line
    EXPECT_EQ(c.Pixel(5, 1), clBlack);
    EXPECT_EQ(c.Pixel(5, 4), clWhite);
}

TEST(Canvas, RectangleLeavesOutRightAndBottomEdge) {
    Canvas c(10, 10, clWhite);
    c.Pen.Color = clRed;
    c.Brush.Color = clBlue;
    c.Rectangle(2, 2, 6, 5);
    EXPECT_EQ(c.Pixel(2, 2), clRed);
    EXPECT_EQ(c.Pixel(5, 4), clRed);  // last column and row inside the box carry the frame
    EXPECT_EQ(c.Pixel(6, 4), clWhite);
    EXPECT_EQ(c.Pixel(5, 5), clWhite);
    EXPECT_EQ(c.Pixel(3, 3), clBlue);
    c.Brush.Color = clGreen;
    c.FillRect({0, 0, 2, 2});
    EXPECT_EQ(c.Pixel(1, 1), clGreen);
    EXPECT_EQ(c.Pixel(2, 1), clWhite);
}

TEST(Canvas, XorTwiceRestoresAndNotXorWithBlackInverts) {
    Canvas c(20, 20, rgb(192, 192, 192));
    c.Pen.Mode = PenMode::Xor;
    c.Pen.Color = rgb(255, 0, 0);
    c.MoveTo(0, 5);
    c.LineTo(10, 5);
    EXPECT_EQ(c.Pixel(3, 5), rgb(192 ^ 255, 192, 192));
    c.MoveTo(0, 5);
    c.LineTo(10, 5);
    EXPECT_EQ(c.Pixel(3, 5), rgb(192, 192, 192));

    c.Pen.Mode = PenMode::NotXor;
    c.Pen.Color = clBlack;
    c.MoveTo(2, 2);
    c.LineTo(2, 8);
    EXPECT_EQ(c.Pixel(2, 4), rgb(63, 63, 63));
    c.MoveTo(2, 2);
    c.LineTo(2, 8);
    EXPECT_EQ(c.Pixel(2, 4), rgb(192, 192, 192));

    // Thick lines and ellipses go through the painter and obey the same modes.
    c.Pen.Width = 3;
    c.Pen.Mode = PenMode::NotXor;
    c.Ellipse(10, 10, 18, 18);
    c.Ellipse(10, 10, 18, 18);
    for (int y = 10; y < 18; ++y)
        for (int x = 10; x < 18; ++x) EXPECT_EQ(c.Pixel(x, y), rgb(192, 192, 192));
}

TEST(Canvas, DottedPenLeavesGaps) {
    Canvas c(20, 3, clWhite);
    c.Pen.Style = PenStyle::Dot;
    c.MoveTo(0, 1);
    c.LineTo(12, 1);
    EXPECT_EQ(c.Pixel(0, 1), clBlack);
    EXPECT_EQ(c.Pixel(3, 1), clWhite);
    EXPECT_EQ(c.Pixel(6, 1), clBlack);
}

TEST(Canvas, GapsOfAStyledPenTakeTheBrushAndTheSameLineTwiceErasesIt) {
    Canvas c(20, 3, rgb(192, 192, 192));
    c.Pen = {clWhite, 1, PenStyle::Dot, PenMode::NotXor};
    c.Brush = {rgb(192, 192, 192), BrushStyle::Solid};
    c.MoveTo(0, 1);
    c.LineTo(12, 1);
    EXPECT_EQ(c.Pixel(0, 1), rgb(192, 192, 192));  // a white not-XOR dot leaves the pixel as it was
    EXPECT_EQ(c.Pixel(3, 1), clWhite);             // a gap: not (silver xor silver)
    c.MoveTo(0, 1);                                // the pattern starts afresh
    c.LineTo(12, 1);
    for (int x = 0; x < 20; ++x) EXPECT_EQ(c.Pixel(x, 1), rgb(192, 192, 192)) << x;
}

TEST(Canvas, TextIsDrawnInTheFontColourWithATransparentBrush) {
    Canvas c(80, 20, clWhite);
    c.Font.Color = clRed;
    c.Brush.Style = BrushStyle::Clear;
    c.TextOut(2, 2, "W8");
    int red = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 80; ++x) red += c.Pixel(x, y) == clRed;
    EXPECT_GT(red, 10);
    EXPECT_GT(c.TextWidth("WWW"), c.TextWidth("W"));
}

TEST(Canvas, CopyRectCopiesPixels) {
    Canvas a(10, 10, clWhite), b(10, 10, clBlack);
    a.SetPixel(3, 3, clRed);
    b.CopyRect({0, 0, 5, 5}, a, {2, 2, 7, 7});
    EXPECT_EQ(b.Pixel(1, 1), clRed);
    EXPECT_EQ(b.Pixel(0, 0), clWhite);
    EXPECT_EQ(b.Pixel(6, 6), clBlack);
}

namespace {

// The thin-line rule stepped pixel by pixel over the whole line, on a plain pixel array: what the
// canvas must draw however much of the line lies off the image.
struct ReferenceLines {
    int w, h;
    std::vector<uint32_t> px;
    int phase = 0;
    ReferenceLines(int width, int height, uint32_t fill) : w(width), h(height), px(width * height, fill) {}
    static bool gapAt(PenStyle s, int phase) {
        static const std::vector<int> dash = {18, 6}, dot = {3, 3}, dashDot = {9, 6, 3, 6},
                                      dashDotDot = {9, 3, 3, 3, 3, 3};
        const std::vector<int>* pat = s == PenStyle::Dash      ? &dash
                                      : s == PenStyle::Dot     ? &dot
                                      : s == PenStyle::DashDot ? &dashDot
                                                               : &dashDotDot;
        int period = 0;
        for (int v : *pat) period += v;
        int p = phase % period;
        for (size_t i = 0; i < pat->size(); ++i) {
            if (p < (*pat)[i]) return i % 2 == 1;
            p -= (*pat)[i];
        }
        return false;
    }
    void plot(const TPen& pen, const TBrush& brush, int x, int y) {
        bool gap = false;
        if (pen.Style != PenStyle::Solid) gap = gapAt(pen.Style, phase++);
        if (gap && brush.Style != BrushStyle::Solid) return;
        if (x < 0 || y < 0 || x >= w || y >= h) return;
        const TColor c = gap ? brush.Color : pen.Color;
        const uint32_t src = (redOf(c) << 16) | (greenOf(c) << 8) | blueOf(c), dst = px[y * w + x];
        uint32_t out = src;
        if (pen.Mode == PenMode::Xor) out = src ^ dst;
        if (pen.Mode == PenMode::NotXor) out = ~(src ^ dst) & 0xFFFFFF;
        if (pen.Mode == PenMode::Not) out = ~dst & 0xFFFFFF;
        px[y * w + x] = out;
    }
    void line(const TPen& pen, const TBrush& brush, int x0, int y0, int x1, int y1) {
        int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
        int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
        int err = dx + dy;
        while (!(x0 == x1 && y0 == y1)) {
            plot(pen, brush, x0, y0);
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
};

}  // namespace

TEST(Canvas, LinesReachingOffTheImageDrawExactlyTheirVisiblePixels) {
    const int w = 37, h = 23;
    Canvas c(w, h, rgb(192, 192, 192));
    ReferenceLines ref(w, h, 0xC0C0C0);
    std::mt19937 rnd(12345);
    const auto coord = [&rnd](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rnd); };
    const PenStyle styles[] = {PenStyle::Solid, PenStyle::Dash, PenStyle::Dot, PenStyle::DashDot, PenStyle::DashDotDot};
    const PenMode modes[] = {PenMode::Copy, PenMode::Xor, PenMode::NotXor, PenMode::Not};
    int x = 0, y = 0;
    for (int i = 0; i < 4000; ++i) {
        if (i % 5 == 0) {
            x = coord(-70, 110);
            y = coord(-60, 90);
            c.MoveTo(x, y);
            ref.phase = 0;
        }
        c.Pen = {rgb(coord(0, 255), coord(0, 255), coord(0, 255)), 1, styles[coord(0, 4)], modes[coord(0, 3)]};
        c.Brush = {rgb(coord(0, 255), 7, 9), coord(0, 1) ? BrushStyle::Solid : BrushStyle::Clear};
        const int nx = coord(-70, 110), ny = coord(-60, 90);
        c.LineTo(nx, ny);
        ref.line(c.Pen, c.Brush, x, y, nx, ny);
        x = nx;
        y = ny;
    }
    int differing = 0;
    for (int py = 0; py < h; ++py)
        for (int px = 0; px < w; ++px) {
            const uint32_t v = ref.px[py * w + px];
            differing += c.Pixel(px, py) != rgb(v >> 16, (v >> 8) & 0xFF, v & 0xFF);
        }
    EXPECT_EQ(differing, 0);
}

TEST(Canvas, LinesBetweenTheExtremeCoordinatesFinishAndShowTheirVisiblePart) {
    const int kMin = std::numeric_limits<int>::min(), kMax = std::numeric_limits<int>::max();
    Canvas c(100, 50, clWhite);
    c.MoveTo(kMin, 5);  // across the whole range of coordinates
    c.LineTo(kMax, 5);
    c.MoveTo(-1000000000, -1000000000);  // the diagonal through the image
    c.LineTo(1000000000, 1000000000);
    c.MoveTo(kMax, kMax);  // never on the image
    c.LineTo(kMin, kMax - 3);
    c.Pen.Style = PenStyle::Dot;
    c.Brush.Style = BrushStyle::Clear;
    c.MoveTo(kMin, 40);  // the pattern still counts the 2^31 pixels before the image
    c.LineTo(kMax, 40);
    int drawn = 0;
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x) {
            const bool expected = y == 5 || x == y || (y == 40 && ((int64_t{1} << 31) + x) % 6 < 3);
            EXPECT_EQ(c.Pixel(x, y), expected ? clBlack : clWhite) << x << "," << y;
            drawn += c.Pixel(x, y) == clBlack;
        }
    EXPECT_GT(drawn, 150);
}

TEST(Canvas, ShortWideLinesSetThePixelsThePainterWouldInEveryMode) {
    const PenMode modes[] = {PenMode::Copy, PenMode::Xor, PenMode::NotXor};
    const QPainter::CompositionMode painterModes[] = {QPainter::CompositionMode_SourceOver,
                                                      QPainter::RasterOp_SourceXorDestination,
                                                      QPainter::RasterOp_NotSourceXorDestination};
    int compared = 0;
    for (int m = 0; m < 3; ++m)
        for (int width : {2, 3, 5})
            for (int dx = -21; dx <= 21; dx += 7)
                for (int dy = -14; dy <= 14; dy += 7)
                    for (int x0 : {30, 47}) {
                        Canvas c(100, 100, rgb(100, 150, 200));
                        c.Pen = TPen{rgb(10, 200, 30), width, PenStyle::Solid, modes[m]};
                        c.MoveTo(x0, 50);
                        c.LineTo(x0 + dx, 50 + dy);
                        QImage expected(100, 100, QImage::Format_RGB32);
                        expected.fill(QColor(100, 150, 200));
                        {
                            QPainter p(&expected);
                            p.setRenderHint(QPainter::Antialiasing, false);
                            p.setCompositionMode(painterModes[m]);
                            QPen pen(QColor(10, 200, 30));
                            pen.setWidth(width);
                            pen.setCapStyle(Qt::RoundCap);
                            pen.setJoinStyle(Qt::RoundJoin);
                            p.setPen(pen);
                            p.drawLine(x0, 50, x0 + dx, 50 + dy);
                        }
                        ASSERT_EQ(c.image().convertToFormat(QImage::Format_RGB32), expected)
                            << "mode " << m << " width " << width << " from " << x0 << " by " << dx << "," << dy;
                        ++compared;
                    }
    EXPECT_EQ(compared, 3 * 3 * 7 * 5 * 2);
}
