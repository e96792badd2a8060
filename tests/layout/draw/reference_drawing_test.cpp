// The whole drawing vocabulary on one picture: the maximal layout with every element kind, numbers and
// section marks, a hidden layer, the grid, the layer buttons, and on top styled XOR lines, text in two
// fonts and the shapes drawn through the painter. It must match the stored reference pixel for pixel,
// so that any change to the canvas that moves one pixel shows here.
//
// To make the reference again (only when a drawing rule is meant to change), run the test with
// VESTREL_WRITE_REFERENCE=1.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>
#include <vector>

#include "../../../bench/full_layout.h"
#include "layout/draw/diagram_canvas.h"
#include "layout/draw/element_colours.h"
#include "layout/draw/element_draw.h"
#include "layout/files/layout_file.h"
#include "layout/frame/render.h"
#include "layout/model/display_settings.h"
#include "platform/canvas.h"
#include "test_support.h"

using namespace vestrel;

namespace {

const char* const kReference = "maximal_layout_reference.png";


// Lines of every direction, style and mode, crossing the edges of the canvas too.
void drawStyledLines(Canvas& c) {
    const PenStyle styles[] = {PenStyle::Solid, PenStyle::Dash, PenStyle::Dot, PenStyle::DashDot,
                               PenStyle::DashDotDot};
    const PenMode modes[] = {PenMode::Copy, PenMode::Xor, PenMode::NotXor, PenMode::Not};
    c.Brush = {rgb(40, 90, 200), BrushStyle::Solid};
    int n = 0;
    for (PenStyle s : styles) {
        for (PenMode m : modes) {
            c.Pen = {rgb(30 * n % 256, 255 - 11 * n, 90), 1, s, m};
            c.Brush.Style = n % 2 ? BrushStyle::Clear : BrushStyle::Solid;
            const int x = -40 + 83 * n, y = 1130 + (n % 5) * 7;
            c.MoveTo(x, y);
            c.LineTo(x + 97, y - 31);
            c.LineTo(x + 60, y + 75);  // runs off the bottom edge
            c.LineTo(x + 3, y + 2);
            ++n;
        }
    }
    // A dotted XOR line twice over restores the picture; once more and it shows.
    c.Pen = {clWhite, 1, PenStyle::Dot, PenMode::Xor};
    c.Brush = {kBackgroundColour, BrushStyle::Solid};
    for (int pass = 0; pass < 3; ++pass) {
        c.MoveTo(5, 1195);
        c.LineTo(1590, 1100);
        c.LineTo(1700, 1300);
    }
}

void drawTextAndShapes(Canvas& c) {
    c.Brush = {clYellow, BrushStyle::Solid};
    c.Font = TFont{"Arial", 8, clBlack};
    c.TextOut(1300, 560, "Arial 8: Spoorbaan 123");
    c.Brush.Style = BrushStyle::Clear;
    c.Font = TFont{"Times New Roman", 11, clRed, true, false};
    c.TextOut(1300, 580, "Times 11 vet \xe9\xe8");
    c.Font = TFont{"MS Serif", 7, clBlue};
    c.TextOut(1598, 600, "over de rand");
    c.Pen = {clBlack, 1, PenStyle::Solid, PenMode::Copy};
    c.Brush = {clAqua, BrushStyle::Solid};
    c.Rectangle(1300, 620, 1340, 650);
    c.Ellipse(1350, 620, 1381, 651);
    c.Pen = {rgb(200, 30, 30), 3, PenStyle::Solid, PenMode::Copy};
    c.MoveTo(1390, 620);
    c.LineTo(1440, 660);
    c.Pen.Mode = PenMode::NotXor;
    c.Ellipse(1440, 620, 1470, 650);
    c.Pen = {clBlack, 1, PenStyle::Solid, PenMode::Xor};
    c.Brush = {clFuchsia, BrushStyle::Solid};
    c.Rectangle(1480, 620, 1520, 660);
    c.Polygon({{1530, 620}, {1580, 640}, {1540, 665}});
    c.Brush.Color = clLime;
    c.FrameRect({1300, 670, 1400, 690});
}

class ReferenceDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        gCanvasSize = {fulllayout::kWidth, fulllayout::kHeight};
        gDiagramCanvas = &canvas;
        recreateBackBuffer();
        gShowNumbers = 1;
        gShowSections = 1;
        gShowConnections = 1;
        gVisibleLayers = 5;  // layer 2 hidden
        gGridStep = 10;
        fulllayout::buildFullLayout(boxes);
        for (int i = 0; i < gBlockCount; i += 7) {  // some blocks drawn section by section
            gBlocks[i]->state |= 0x40;
            gBlocks[i]->sectionInputs[3] = 0;
        }
        for (int i = 3; i < gBlockCount; i += 11) gBlocks[i]->state |= 0x01;  // reserved
    }
    void TearDown() override {
        clearLayout();
        gDiagramCanvas = nullptr;
        gVisibleLayers = 7;
        gShowConnections = 0;
    }
    Canvas canvas{fulllayout::kWidth, fulllayout::kHeight, kBackgroundColour};
    std::vector<StepProgramRec> boxes;
};

int differingPixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return a.width() * a.height();
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) n += (a.pixel(x, y) & 0xFFFFFF) != (b.pixel(x, y) & 0xFFFFFF);
    return n;
}

}  // namespace

TEST_F(ReferenceDrawing, MaximalLayoutMatchesTheReferencePixelForPixel) {
    drawBackground(1);
    fulllayout::drawAllElements(boxes);
    ASSERT_TRUE(gBackBuffer);
    EXPECT_EQ(differingPixels(gBackBuffer->image(), canvas.image()), 0) << "the back buffer holds the same picture";
    for (int bit : {1, 2, 4}) drawLayerButton(bit);  // on the diagram only
    drawStyledLines(canvas);
    drawTextAndShapes(canvas);

    const std::string reference = testsupport::fixturePath(kReference);
    if (std::getenv("VESTREL_WRITE_REFERENCE")) {
        ASSERT_TRUE(canvas.savePng(reference));
        GTEST_SKIP() << "reference written to " << reference;
    }
    QImage expected(QString::fromStdString(reference));
    ASSERT_FALSE(expected.isNull()) << reference;
    const int differing = differingPixels(canvas.image(), expected.convertToFormat(QImage::Format_RGB32));
    if (differing) canvas.savePng(testsupport::artefactPath("maximal_layout_actual.png"));
    EXPECT_EQ(differing, 0) << "pixels differ; the drawing is in " << testsupport::artefactPath("maximal_layout_actual.png");
}
