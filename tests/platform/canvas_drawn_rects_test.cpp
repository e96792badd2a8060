// The canvas tells what it drew since it was last asked, so that a widget showing it repaints just that.
#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <QImage>

#include "platform/canvas.h"

using namespace vestrel;

namespace {

bool covered(const std::vector<Rect>& rects, int x, int y) {
    for (const Rect& r : rects)
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
    return false;
}

}  // namespace

TEST(CanvasDrawnRects, ANewOrResizedCanvasIsDrawnWholeThenNothingUntilItIsDrawnOn) {
    Canvas c(200, 100);
    std::vector<Rect> rects = c.takeDrawnRects();
    ASSERT_FALSE(rects.empty());
    EXPECT_TRUE(covered(rects, 0, 0) && covered(rects, 199, 99));
    EXPECT_TRUE(c.takeDrawnRects().empty());
    std::as_const(c).image();  // looking is no drawing
    EXPECT_TRUE(c.takeDrawnRects().empty());
    c.resize(300, 120);
    EXPECT_TRUE(covered(c.takeDrawnRects(), 299, 119));
    c.image();  // whoever holds the image may draw anywhere
    EXPECT_TRUE(covered(c.takeDrawnRects(), 150, 60));
}

// Every pixel an operation changes lies in the rectangles reported after it, and far parts stay out.
TEST(CanvasDrawnRects, EveryChangedPixelIsReported) {
    const std::vector<std::pair<const char*, std::function<void(Canvas&)>>> drawings = {
        {"thin line", [](Canvas& c) { c.MoveTo(300, 200); c.LineTo(340, 215); }},
        {"wide line", [](Canvas& c) { c.Pen.Width = 7; c.MoveTo(300, 200); c.LineTo(250, 260); }},
        {"xor line", [](Canvas& c) { c.Pen.Color = clRed; c.Pen.Mode = PenMode::Xor; c.MoveTo(300, 200); c.LineTo(300, 150); }},
        {"rectangle", [](Canvas& c) { c.Pen.Width = 3; c.Brush.Style = BrushStyle::Solid; c.Rectangle(290, 190, 330, 230); }},
        {"ellipse", [](Canvas& c) { c.Brush.Style = BrushStyle::Solid; c.Ellipse(280, 180, 345, 240); }},
        {"polygon", [](Canvas& c) { c.Brush.Style = BrushStyle::Solid; c.Polygon({{300, 200}, {360, 210}, {320, 260}}); }},
        {"fill", [](Canvas& c) { c.Brush.Color = clRed; c.FillRect({305, 205, 320, 210}); }},
        {"text", [](Canvas& c) { c.Font = TFont{"Arial", 14, clBlue, true, true}; c.TextOut(300, 200, "Wjg"); }},
        {"pixel", [](Canvas& c) { c.SetPixel(333, 222, clRed); }},
        {"copy", [](Canvas& c) { Canvas src(40, 40, clGreen); c.CopyRect({300, 200, 340, 240}, src, {0, 0, 40, 40}); }},
        {"stretch", [](Canvas& c) { QImage img(10, 10, QImage::Format_RGB32); img.fill(Qt::red); c.StretchDraw({300, 200, 330, 250}, img); }},
    };
    for (const auto& [name, draw] : drawings) {
        Canvas c(640, 480);
        c.takeDrawnRects();
        const QImage before = std::as_const(c).image().copy();
        draw(c);
        const std::vector<Rect> rects = c.takeDrawnRects();
        const QImage& after = std::as_const(c).image();
        int changed = 0;
        for (int y = 0; y < after.height(); ++y)
            for (int x = 0; x < after.width(); ++x)
                if (after.pixel(x, y) != before.pixel(x, y)) {
                    ++changed;
                    ASSERT_TRUE(covered(rects, x, y)) << name << " at " << x << "," << y;
                }
        EXPECT_GT(changed, 0) << name;
        EXPECT_FALSE(covered(rects, 10, 10)) << name;
        EXPECT_FALSE(covered(rects, 600, 450)) << name;
    }
}
