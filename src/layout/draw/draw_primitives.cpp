// Drawing pieces shared by the element kinds: polylines with their shadow, numbers and lamps.
#include "layout/model/display_settings.h"
#include "layout/draw/element_colours.h"
#include "layout/draw/element_draw.h"
#include "platform/canvas.h"
#include "shell/model/app_state.h"

using vestrel::Canvas;

bool repaintingAfterScroll() { return gRedrawCountdown == 3; }

void drawPolyline(const DiagramPoint* points, int segments, uint32_t colour, uint32_t shadow, int erase,
                  Canvas& canvas) {
    canvas.Pen.Style = vestrel::PenStyle::Solid;
    canvas.Pen.Mode = vestrel::PenMode::Copy;
    canvas.Pen.Width = 1;
    canvas.Pen.Color = erase ? kBackgroundColour : shadow;
    for (int i = 0; i < segments; ++i) {
        canvas.MoveTo(points[i].x + 1, points[i].y + 1);
        canvas.LineTo(points[i + 1].x + 1, points[i + 1].y + 1);
    }
    if (!erase) canvas.Pen.Color = colour;
    for (int i = 0; i < segments; ++i) {
        canvas.MoveTo(points[i].x, points[i].y);
        canvas.LineTo(points[i + 1].x, points[i + 1].y);
    }
    if (erase) {
        canvas.SetPixel(points[segments].x, points[segments].y, kBackgroundColour);
    } else {
        for (int i = 0; i < segments; ++i) canvas.SetPixel(points[i].x, points[i].y, kBlackColour);
    }
}

void drawElementNumber(DiagramPoint point, int number, int erase, Canvas& canvas) {
    if (!gShowNumbers) return;
    canvas.Brush.Style = vestrel::BrushStyle::Clear;
    canvas.Font.Name = "MS Serif";
    canvas.Font.Size = 7;
    canvas.Font.Color = erase ? kBackgroundColour : kBlackColour;
    const int dx = number >= 100 ? 9 : (number < 10 ? 3 : 5);
    canvas.TextOut(point.x - dx, point.y - 5, std::to_string(number));
}

void drawLampSquare(int x, int y, int c, uint32_t colour, int highlight, Canvas& canvas) {
    canvas.Brush.Style = vestrel::BrushStyle::Solid;
    canvas.Brush.Color = colour;
    canvas.FillRect({x - c, y - c + 2, x + c + 1, y + c - 1});
    canvas.FillRect({x - c + 2, y - c, x + c - 1, y + c + 1});
    canvas.SetPixel(x - c + 1, y - c + 1, colour);
    canvas.SetPixel(x + c - 1, y - c + 1, colour);
    canvas.SetPixel(x + c - 1, y + c - 1, colour);
    canvas.SetPixel(x - c + 1, y + c - 1, colour);
    if (colour != kBackgroundColour && highlight) {
        canvas.SetPixel(x - 2, y - 1, kWhiteColour);
        canvas.SetPixel(x - 1, y - 1, kWhiteColour);
        canvas.SetPixel(x - 1, y - 2, kWhiteColour);
    }
}
