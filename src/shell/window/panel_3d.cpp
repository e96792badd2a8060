#include "shell/window/panel_3d.h"

void draw3dPanel(int left, int top, int right, int bottom, vestrel::TColor fill, vestrel::Canvas& c) {
    c.Pen.Style = vestrel::PenStyle::Solid;
    c.Pen.Mode = vestrel::PenMode::Copy;
    c.Pen.Width = 1;
    c.Brush.Style = vestrel::BrushStyle::Solid;
    c.Brush.Color = fill;
    c.FillRect({left + 2, top + 2, right - 1, bottom - 1});
    c.Pen.Color = vestrel::clWhite;
    c.MoveTo(right, top + 1);
    c.LineTo(left + 1, top + 1);
    c.LineTo(left + 1, bottom);
    c.Pen.Color = vestrel::rgb(128, 128, 128);
    c.MoveTo(left + 2, bottom - 1);
    c.LineTo(right - 1, bottom - 1);
    c.LineTo(right - 1, top + 2);
    c.Pen.Color = vestrel::clBlack;
    c.MoveTo(left + 1, bottom);
    c.LineTo(right, bottom);
    c.LineTo(right, top + 1);
}
