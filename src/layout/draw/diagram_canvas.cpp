#include "layout/draw/diagram_canvas.h"

#include <memory>

#include "layout/draw/element_colours.h"
#include "layout/model/layout_model.h"
#include "platform/canvas.h"

vestrel::Canvas* gDiagramCanvas = nullptr;
vestrel::Canvas* gBackBuffer = nullptr;

namespace {
std::unique_ptr<vestrel::Canvas> gBackBufferImage;
void (*gScheduledResize)() = nullptr;
}  // namespace

void scheduleCanvasResize(void (*resize)()) { gScheduledResize = resize; }

void runScheduledCanvasResize() {
    void (*resize)() = gScheduledResize;
    gScheduledResize = nullptr;  // what the resize draws must not start it again
    if (resize) resize();
}

void recreateBackBuffer() {
    gBackBufferImage = std::make_unique<vestrel::Canvas>(gCanvasSize.width, gCanvasSize.height, kBackgroundColour);
    gBackBuffer = gBackBufferImage.get();
}

int diagramCanvases(bool withBackBuffer, vestrel::Canvas* out[2]) {
    runScheduledCanvasResize();
    int n = 0;
    if (gDiagramCanvas) out[n++] = gDiagramCanvas;
    if (withBackBuffer && gBackBuffer && gBackBuffer != gDiagramCanvas) out[n++] = gBackBuffer;
    return n;
}
