// The full redraw on the main window: background, grid, elements with the hidden-layer fade, layer
// buttons, the editor's tool bar and legend, and the background bitmap.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QImage>
#include <QLabel>

#include "shell/diagram_window.h"
#include "layout/draw/diagram_canvas.h"
#include "layout/draw/element_colours.h"
#include "layout/model/layout_model.h"
#include "layout/frame/render.h"
#include "layout/small_layout.h"
#include "platform/canvas.h"
#include "shell/model/app_state.h"
#include "shell/window/image_view.h"
#include "shell/window/schema_canvas.h"
#include "shell/model/settings.h"
#include "test_support.h"

namespace {

constexpr uint32_t kSilver = diagramRgb(192, 192, 192);

int countColour(const vestrel::Canvas& c, int left, int top, int right, int bottom, uint32_t colour) {
    int n = 0;
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) n += c.Pixel(x, y) == colour;
    return n;
}

const vestrel::Canvas& back() { return *gBackBuffer; }
const vestrel::Canvas& diagram() { return *gDiagramCanvas; }
const vestrel::Canvas& window() { return *mainWindowCanvas(); }

class DiagramRedraw : public DiagramWindowTest {
protected:
    void SetUp() override {
        DiagramWindowTest::SetUp();
        smalllayout::buildEveryKind();
        gVisibleLayers = 6;  // layer 1 hidden: the second track lies on it
    }
};

TEST_F(DiagramRedraw, EveryElementOnTheBackBufferOfTheMainWindow) {
    ASSERT_EQ(gGridStep, 8);
    redrawSchema(1);
    back().savePng(testsupport::artefactPath("redraw_schema_back_buffer.png"));
    frmSchema->grab().save(QString::fromStdString(testsupport::artefactPath("redraw_schema_window.png")));

    // Background and the editor's grid: a grey dot on every multiple of the grid step.
    EXPECT_EQ(back().Pixel(601, 203), kSilver);
    EXPECT_EQ(back().Pixel(600, 200), kShadowColour);
    EXPECT_EQ(back().Pixel(608, 208), kShadowColour);
    EXPECT_EQ(countColour(back(), 561, 161, 567, 167, kShadowColour), 0);
    // A track: white with its shadow; the track on the hidden layer faded, shadow too.
    EXPECT_EQ(back().Pixel(70, 60), kWhiteColour);
    EXPECT_EQ(back().Pixel(71, 61), kShadowColour);
    EXPECT_EQ(back().Pixel(330, 60), diagramRgb(176, 176, 176));
    EXPECT_EQ(back().Pixel(331, 61), diagramRgb(144, 144, 144));
    // Blocks: direction 'H' cyan, a reversing loop light orange.
    EXPECT_EQ(back().Pixel(130, 200), kCyanColour);
    EXPECT_EQ(back().Pixel(390, 300), kLightOrangeColour);
    // The left turnout lies straight: its straight leg green, its diverging leg grey.
    EXPECT_EQ(back().Pixel(215, 100), kGreenColour);
    // The signal's lamp shows green.
    EXPECT_GT(countColour(back(), 200, 220, 240, 250, kGreenColour), 10);

    // The diagram shows what the back buffer holds, and the layer buttons in its corner: layer 1 off
    // (silver), layers 2 and 3 on (white); the back buffer keeps no buttons.
    EXPECT_EQ(diagram().Pixel(70, 60), kWhiteColour);
    EXPECT_EQ(diagram().Pixel(330, 60), diagramRgb(176, 176, 176));
    EXPECT_EQ(countColour(diagram(), 0, 0, 7, 11, kWhiteColour), 0);
    EXPECT_GT(countColour(diagram(), 0, 0, 7, 11, kSilver), 60);
    EXPECT_GT(countColour(diagram(), 8, 0, 15, 11, kWhiteColour), 60);
    EXPECT_GT(countColour(diagram(), 16, 0, 23, 11, kWhiteColour), 60);
    EXPECT_EQ(countColour(back(), 0, 1, 7, 7, kWhiteColour), 0);
}

// A back buffer made for a smaller diagram (the window's first layout, before a larger one was loaded)
// grows with the next full redraw: what lies beyond its old edge is kept for the trains there too.
TEST_F(DiagramRedraw, TheBackBufferGrowsWithTheDiagram) {
    const CanvasSize size = gCanvasSize;
    gCanvasSize = {diagram().width() / 2, diagram().height() / 2};
    recreateBackBuffer();
    gCanvasSize = size;
    redrawSchema(1);
    ASSERT_GE(back().width(), diagram().width());
    ASSERT_GE(back().height(), diagram().height());
    const int x = diagram().width() - 2, y = diagram().height() - 2;
    EXPECT_EQ(back().Pixel(x, y), diagram().Pixel(x, y));
    EXPECT_EQ(back().Pixel(x, y), kSilver);
}

TEST_F(DiagramRedraw, ToolBarAndLegendOnTheWindowInEditorMode) {
    redrawSchema(1);
    window().savePng(testsupport::artefactPath("redraw_schema_tool_bar.png"));
    for (int i = 0; i < kToolbarButtons; ++i) {
        const int x = 20 + 48 * i;
        SCOPED_TRACE(kToolbarLetters[i]);
        EXPECT_EQ(gToolbarX[i], x);
        // A raised silver panel: white edge at the top, black at the bottom, grey inside that.
        EXPECT_EQ(window().Pixel(x + 22, 11), kWhiteColour);
        EXPECT_EQ(window().Pixel(x + 1, 30), kWhiteColour);
        EXPECT_EQ(window().Pixel(x + 22, 42), kBlackColour);
        EXPECT_EQ(window().Pixel(x + 44, 30), kBlackColour);
        EXPECT_EQ(window().Pixel(x + 22, 41), kShadowColour);
        EXPECT_EQ(window().Pixel(x + 2, 40), kSilver);
        // The letter in red at the left.
        EXPECT_GT(countColour(window(), x + 3, 11, x + 14, 30, kRedColour), 4);
    }
    // Nothing left of the first button, also from the layout drawn while the window was being built.
    EXPECT_EQ(countColour(window(), 0, 0, 19, 44, kSilver), 20 * 45);
    // Turnout pictures: a grey straight track with a green highlight above it, white for the crossing.
    EXPECT_EQ(window().Pixel(20 + 12 + 2, 30), kShadowColour);
    EXPECT_EQ(window().Pixel(20 + 12 + 2, 29), kGreenColour);
    EXPECT_EQ(window().Pixel(164 + 12 + 1, 29), kWhiteColour);
    // Signal with a green lamp, output white lamp, input yellow lamp.
    EXPECT_GT(countColour(window(), 308 + 20, 14, 308 + 32, 24, kGreenColour), 10);
    EXPECT_GT(countColour(window(), 356 + 22, 20, 356 + 34, 32, kWhiteColour), 40);
    EXPECT_GT(countColour(window(), 404 + 22, 20, 404 + 34, 32, kYellowColour), 40);

    // The direction legend: cyan "HEEN" and magenta "TERUG" lines beside the file panel.
    const int x = frmSchema->grpBestand->x() + frmSchema->grpBestand->width() - 160;
    const int y = frmSchema->lblCurPos->y() + 8;
    EXPECT_EQ(window().Pixel(x, y), kCyanColour);
    EXPECT_EQ(window().Pixel(x + 23, y), kCyanColour);
    EXPECT_EQ(window().Pixel(x + 86, y), kMagentaColour);
    EXPECT_GT(countColour(window(), x + 32, y - 8, x + 80, y + 6, kBlackColour), 10);
}

TEST_F(DiagramRedraw, NoToolBarDuringASession) {
    gRunWithoutTrack = 1;
    vestrel::Canvas& c = *mainWindowCanvas();
    c.Brush.Color = vestrel::clBtnFace;
    c.FillRect({0, 0, c.width(), 60});
    redrawSchema(1);
    EXPECT_EQ(countColour(window(), 20, 10, 500, 42, kRedColour), 0);
    EXPECT_EQ(back().Pixel(600, 200), kSilver);  // no grid either
    gRunWithoutTrack = 0;
}

TEST_F(DiagramRedraw, ARepaintOfTheWindowLeavesTheDiagramAsItIs) {
    redrawSchema(1);
    gDiagramCanvas->SetPixel(300, 200, kRedColour);
    gRepaintRequest = 1;
    redrawSchema(0);
    gRepaintRequest = 0;
    EXPECT_EQ(diagram().Pixel(300, 200), kRedColour);
    redrawSchema(0);
    EXPECT_EQ(diagram().Pixel(300, 200), kSilver);
}

TEST_F(DiagramRedraw, ToggledLayerIsDrawnAgainWithItsButton) {
    redrawSchema(1);
    toggleLayer(1);
    EXPECT_EQ(gVisibleLayers, 7);
    EXPECT_EQ(diagram().Pixel(330, 60), kWhiteColour);
    EXPECT_EQ(back().Pixel(330, 60), kWhiteColour);
    EXPECT_EQ(back().Pixel(331, 61), kShadowColour);
    EXPECT_GT(countColour(diagram(), 0, 0, 7, 11, kWhiteColour), 60);
    toggleLayer(1);
    EXPECT_EQ(gVisibleLayers, 6);
    EXPECT_EQ(diagram().Pixel(330, 60), diagramRgb(176, 176, 176));
    EXPECT_EQ(countColour(diagram(), 0, 0, 7, 11, kWhiteColour), 0);
    EXPECT_EQ(diagram().Pixel(70, 60), kWhiteColour);  // layer 0 is never hidden
}

TEST_F(DiagramRedraw, DeadEndMarkIsARedLamp) {
    redrawSchema(1);
    drawDeadEndMark(590, 330);
    EXPECT_EQ(diagram().Pixel(590, 330), kRedColour);
    EXPECT_EQ(diagram().Pixel(593, 330), kRedColour);
    EXPECT_EQ(diagram().Pixel(594, 330), kSilver);
    EXPECT_EQ(diagram().Pixel(588, 329), kWhiteColour);
    EXPECT_EQ(back().Pixel(590, 330), kSilver);  // only on the screen
}

// A Windows bitmap written by Qt: red with a blue pixel at (1,1) and a blue column at x = 10.
void writeBitmap(const std::string& name, int width, int height, QImage::Format format) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(255, 0, 0));
    for (int y = 0; y < height; ++y) image.setPixel(10, y, qRgb(0, 0, 255));
    image.setPixel(1, 1, qRgb(0, 0, 255));
    ASSERT_TRUE(image.convertToFormat(format).save(QString::fromStdString(name), "BMP"));
}

class BackgroundBitmap : public DiagramWindowTest {
protected:
    void SetUp() override {
        DiagramWindowTest::SetUp();
        gSettings.chboAchtergrondbeeld = 1;
        gBackgroundFileName = "achtergrond.bmp";
    }
};

TEST_F(BackgroundBitmap, HalfScaleWithItsOffsetMovesWithTheView) {
    writeBitmap(program.dir.file("achtergrond.bmp"), 40, 20, QImage::Format_RGB888);
    gSettings.edtBeeldZoom = 50;
    gSettings.edtBeeldX = 30;
    gSettings.edtBeeldY = 40;
    gLayoutOffset = {-8, -16};
    drawBackground(1);
    // left 30 - 8 = 22, top 40 - 16 = 24, 20 x 10 pixels; a grid dot stays on top.
    EXPECT_EQ(back().Pixel(23, 25), kRedColour);
    EXPECT_EQ(back().Pixel(41, 33), kRedColour);
    EXPECT_EQ(back().Pixel(42, 33), kSilver);
    EXPECT_EQ(back().Pixel(21, 25), kSilver);
    EXPECT_EQ(back().Pixel(23, 34), kSilver);
    EXPECT_EQ(back().Pixel(23, 23), kSilver);
    EXPECT_EQ(back().Pixel(24, 24), kShadowColour);
    gLayoutOffset = {};
}

TEST_F(BackgroundBitmap, FadedAndTransparent) {
    struct Case {
        QImage::Format format;
        uint8_t faded;
        uint8_t transparent;
        uint32_t red;   // what a red pixel becomes
        uint32_t blue;  // what the blue pixels become
    };
    const uint32_t fadedRed = diagramRgb(176, 144, 144);
    const uint32_t fadedBlue = diagramRgb(144, 144, 176);
    const Case cases[] = {
        {QImage::Format_RGB888, 0, 0, kRedColour, diagramRgb(0, 0, 255)},
        {QImage::Format_RGB888, 1, 0, fadedRed, fadedBlue},
        {QImage::Format_RGB888, 1, 1, fadedRed, kSilver},
        {QImage::Format_RGB888, 0, 1, kRedColour, kSilver},
        {QImage::Format_Indexed8, 1, 0, kRedColour, diagramRgb(0, 0, 255)},  // fewer than 24 bits: not faded
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.format) << " faded " << int(c.faded) << " transparent "
                                        << int(c.transparent));
        writeBitmap(program.dir.file("achtergrond.bmp"), 40, 20, c.format);
        gSettings.chboBeeldVaag = c.faded;
        gSettings.chboBeeldTransparant = c.transparent;
        gSettings.edtBeeldX = 100;
        gSettings.edtBeeldY = 100;
        drawBackground(1);
        EXPECT_EQ(back().Pixel(103, 103), c.red);
        EXPECT_EQ(back().Pixel(110, 105), c.blue);
        EXPECT_EQ(back().Pixel(101, 101), c.blue);
    }
}

TEST_F(BackgroundBitmap, AMissingBitmapLeavesSilverAndGrid) {
    gBackgroundFileName = "ontbreekt.bmp";
    drawBackground(1);
    EXPECT_EQ(back().Pixel(3, 3), kSilver);
    EXPECT_EQ(back().Pixel(8, 8), kShadowColour);
}

}  // namespace
