// The background of the diagram: silver, an optional bitmap that moves with the layout, and the grid.
#include <QImage>
#include <vector>

#include "layout/draw/diagram_canvas.h"
#include "layout/draw/element_colours.h"
#include "layout/model/layout_model.h"
#include "layout/frame/render.h"
#include "platform/byte_io.h"
#include "platform/canvas.h"
#include "platform/paths.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"

namespace {

// Bits per pixel as the file stores them: a Windows bitmap's header says so; other formats as decoded.
int storedBitsPerPixel(const std::vector<uint8_t>& file, const QImage& image) {
    if (file.size() >= 30 && file[0] == 'B' && file[1] == 'M') return file[28] | (file[29] << 8);
    return image.depth();
}

void fade(QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) line[x] = (line[x] & 0xFFB0B0B0u) | 0x00909090u;
    }
}

// The pixel at (1,1) becomes see-through wherever it occurs.
void makeTransparent(QImage& image) {
    if (image.width() < 2 || image.height() < 2) return;
    image = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = image.pixel(1, 1) | 0xFF000000u;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((line[x] | 0xFF000000u) == key) line[x] = 0;
    }
}

// A bitmap that cannot be read is left out; the silver background and the grid remain.
void drawBackgroundBitmap(vestrel::Canvas& c) {
    const Settings& s = gSettings;
    std::vector<uint8_t> file;
    if (!vestrel::readWholeFile(vestrel::resolvePath(gBackgroundFileName), file)) return;
    QImage image;
    if (!image.loadFromData(file.data(), static_cast<int>(file.size()))) return;
    const int bits = storedBitsPerPixel(file, image);
    image = image.convertToFormat(QImage::Format_RGB32);
    if (s.chboBeeldVaag && bits >= 24) fade(image);
    if (s.chboBeeldTransparant) makeTransparent(image);
    const int left = s.edtBeeldX + gLayoutOffset.x;
    const int top = s.edtBeeldY + gLayoutOffset.y;
    c.StretchDraw({left, top, image.width() * s.edtBeeldZoom / 100 + left, image.height() * s.edtBeeldZoom / 100 + top},
                  image);
}

// A grey dot on every grid point g + offset + k g that lies on the canvas.
void drawGrid(vestrel::Canvas& c) {
    const int g = gGridStep;
    if (g <= 0) return;
    auto firstOnCanvas = [g](int start) { return start >= 0 ? start : start + (-start + g - 1) / g * g; };
    const int x0 = firstOnCanvas(g + gLayoutOffset.x);
    const int y0 = firstOnCanvas(g + gLayoutOffset.y);
    for (int y = y0; y < c.height(); y += g)
        for (int x = x0; x < c.width(); x += g) c.SetPixel(x, y, kShadowColour);
}

// The back buffer may reach beyond the diagram (it is made at the client area's size): what lies there
// is cleared too, or the not-XOR drawings of elements beyond the edge (a turntable's bridge) would
// come and go with every full redraw.
void clearBeyond(vestrel::Canvas& back, const vestrel::Rect& area) {
    const vestrel::TBrush brush = back.Brush;
    back.Brush.Style = vestrel::BrushStyle::Solid;
    back.Brush.Color = kBackgroundColour;
    if (back.width() > area.right) back.FillRect({area.right, 0, back.width(), back.height()});
    if (back.height() > area.bottom) back.FillRect({0, area.bottom, area.right, back.height()});
    back.Brush = brush;
}

}  // namespace

void drawBackground(int mode) {
    if (!gDiagramCanvas) return;
    vestrel::Canvas& c = *gDiagramCanvas;
    const vestrel::Rect area{0, 0, c.width(), c.height()};
    c.Pen.Style = vestrel::PenStyle::Solid;
    c.Brush.Style = vestrel::BrushStyle::Solid;
    c.Brush.Color = kBackgroundColour;
    c.FillRect(area);
    if (gSettings.chboAchtergrondbeeld) drawBackgroundBitmap(c);
    if (!sessionRunning()) drawGrid(c);
    if (mode && gBackBuffer && gBackBuffer != gDiagramCanvas) {
        // The back buffer keeps what lies under moving trains over the whole diagram: a diagram that grew
        // (a larger layout loaded) takes it along, or trains beyond its old edge could not be erased.
        if (gBackBuffer->width() < c.width() || gBackBuffer->height() < c.height()) recreateBackBuffer();
        gBackBuffer->CopyRect(area, c, area);
        clearBeyond(*gBackBuffer, area);
    }
}
