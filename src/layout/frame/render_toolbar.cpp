// The editor's element tool bar on the main window: ten raised buttons, each with its letter and a
// small picture of the element it inserts.
#include "layout/draw/element_colours.h"
#include "layout/draw/element_draw.h"
#include "layout/frame/render.h"
#include "platform/canvas.h"
#include "shell/window/input_routing.h"
#include "shell/model/input_state.h"
#include "shell/window/panel_3d.h"
#include "shell/window/schema_canvas.h"

namespace {
constexpr int32_t toolbarX(int i) { return 20 + 48 * i; }
}  // namespace

// Set from the start: the first layout is drawn while the main window is still being built.
int32_t gToolbarX[kToolbarButtons] = {toolbarX(0), toolbarX(1), toolbarX(2), toolbarX(3), toolbarX(4),
                                      toolbarX(5), toolbarX(6), toolbarX(7), toolbarX(8), toolbarX(9)};
const char kToolbarLetters[kToolbarButtons] = {'l', 'r', 'k', 'x', 'b', 'v', 's', 'o', 'i', 'd'};

namespace {

using vestrel::Canvas;

constexpr int kIconLeft = 12;   // the picture's offset in its button
constexpr int kIconRail = 30;   // y of the straight track in the turnout pictures

void line(Canvas& c, uint32_t colour, int x1, int y1, int x2, int y2) {
    c.Pen.Color = colour;
    c.MoveTo(x1, y1);
    c.LineTo(x2, y2);
}

// A track in the tool-bar style: grey with a highlight one pixel above.
void railLine(Canvas& c, uint32_t highlight, int x1, int y1, int x2, int y2) {
    line(c, kShadowColour, x1, y1, x2, y2);
    line(c, highlight, x1, y1 - 1, x2, y2 - 1);
}

void drawLamp(Canvas& c, int left, int top, uint32_t colour) {
    c.Pen.Color = kBlackColour;
    c.Brush.Style = vestrel::BrushStyle::Solid;
    c.Brush.Color = colour;
    c.Ellipse(left, top, left + 12, top + 12);
}

void drawBlockIcon(Canvas& c, int x) {
    c.Brush.Style = vestrel::BrushStyle::Clear;
    c.Font = vestrel::TFont{"Arial", 7, kBlackColour};
    c.TextOut(x + 22, 13, "nr");
    line(c, kShadowColour, x + 13, 33, x + 41, 33);
    line(c, kWhiteColour, x + 12, 32, x + 40, 32);
}

void drawSignalIcon(Canvas& c, int x) {
    line(c, kShadowColour, x + 27, 23, x + 27, 39);
    line(c, kWhiteColour, x + 26, 22, x + 26, 38);
    drawLampSquare(x + 26, 19, 3, kGreenColour, 1, c);
}

void drawTurntableIcon(Canvas& c, int x) {
    c.Pen.Color = kShadowColour;
    c.Brush.Style = vestrel::BrushStyle::Clear;
    c.Ellipse(x + 16, 16, x + 39, 39);
    line(c, kShadowColour, x + 19, 35, x + 36, 18);
}

void drawButtonPicture(Canvas& c, int x, char letter) {
    switch (letter) {
        case 'l':
        case 'r':
        case 'k':
        case 'x': drawTurnoutIcon(x + kIconLeft, kIconRail, letter); break;
        case 'b': drawBlockIcon(c, x); break;
        case 's': drawSignalIcon(c, x); break;
        case 'o': drawLamp(c, x + 22, 20, kWhiteColour); break;
        case 'i': drawLamp(c, x + 22, 20, kYellowColour); break;
        case 'd': drawTurntableIcon(c, x); break;
        default: break;
    }
}

}  // namespace

void initToolbar() {
    for (int i = 0; i < kToolbarButtons; ++i) gToolbarX[i] = toolbarX(i);
}

void drawToolbar() {
    Canvas* canvas = mainWindowCanvas();
    if (!canvas) return;
    Canvas& c = *canvas;
    for (int i = 0; i < kToolbarButtons; ++i) {
        const int x = gToolbarX[i];
        draw3dPanel(x, kToolbarTop, x + kToolbarButtonWidth, kToolbarBottom, vestrel::clSilver, c);
        c.Brush.Style = vestrel::BrushStyle::Clear;
        c.Font = vestrel::TFont{"Times New Roman", 11, kRedColour};
        c.TextOut(x + 4, kToolbarTop + 1, std::string(1, kToolbarLetters[i]));
        drawButtonPicture(c, x, kToolbarLetters[i]);
    }
}

void drawTurnoutIcon(int x, int y, char letter) {
    Canvas* canvas = mainWindowCanvas();
    if (!canvas) return;
    Canvas& c = *canvas;
    c.Pen.Style = vestrel::PenStyle::Solid;
    c.Pen.Mode = vestrel::PenMode::Copy;
    c.Pen.Width = 1;
    railLine(c, letter == 'x' ? kWhiteColour : kGreenColour, x, y, x + 28, y);
    if (letter == 'l' || letter == 'k') railLine(c, kWhiteColour, x + 8, y, x + 24, y - 10);
    if (letter == 'r' || letter == 'k') railLine(c, kWhiteColour, x + 8, y, x + 24, y + 8);
    if (letter == 'x') railLine(c, kWhiteColour, x + 4, y + 8, x + 24, y - 10);
}

int hitToolbar(int& letter) {
    letter = 0;
    const DiagramPoint p = gMousePoint;
    if (gPointerInDiagram || p.y < kToolbarTop || p.y > kToolbarBottom) return 0;
    for (int i = 0; i < kToolbarButtons; ++i)
        if (p.x >= gToolbarX[i] && p.x <= gToolbarX[i] + kToolbarButtonWidth) {
            letter = kToolbarLetters[i];
            break;
        }
    return letter;
}
