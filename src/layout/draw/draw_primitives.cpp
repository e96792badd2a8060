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
        canvas.MoveTo(nudge(points[i].x, 1), nudge(points[i].y, 1));
        canvas.LineTo(nudge(points[i + 1].x, 1), nudge(points[i + 1].y, 1));
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
    canvas.TextOut(nudge(point.x, -dx), nudge(point.y, -5), std::to_string(number));
}

void drawLampSquare(int x, int y, int c, uint32_t colour, int highlight, Canvas& canvas) {
    canvas.Brush.Style = vestrel::BrushStyle::Solid;
    canvas.Brush.Color = colour;
    const auto X = [x](int d) { return nudge(x, d); };
    const auto Y = [y](int d) { return nudge(y, d); };
    canvas.FillRect({X(-c), Y(-c + 2), X(c + 1), Y(c - 1)});
    canvas.FillRect({X(-c + 2), Y(-c), X(c - 1), Y(c + 1)});
    canvas.SetPixel(X(-c + 1), Y(-c + 1), colour);
    canvas.SetPixel(X(c - 1), Y(-c + 1), colour);
    canvas.SetPixel(X(c - 1), Y(c - 1), colour);
    canvas.SetPixel(X(-c + 1), Y(c - 1), colour);
    if (colour != kBackgroundColour && highlight) {
        canvas.SetPixel(X(-2), Y(-1), kWhiteColour);
        canvas.SetPixel(X(-1), Y(-1), kWhiteColour);
        canvas.SetPixel(X(-1), Y(-2), kWhiteColour);
    }
}
