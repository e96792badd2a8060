#include <gtest/gtest.h>

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
