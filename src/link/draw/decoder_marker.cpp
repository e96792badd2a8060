#include "link/draw/decoder_marker.h"

#include "layout/draw/diagram_canvas.h"
#include "layout/model/layout_model.h"
#include "platform/canvas.h"

namespace {
constexpr uint8_t kQueued = 0x02;
constexpr uint8_t kShown = 0x04;
constexpr uint8_t kSwitchOffPending = 0x80;
}  // namespace

void drawDecoderActivityMarker(int address, int firstOutput, int span, int x, int y, uint8_t& state) {
    if (address > 2047) return;
    const int decoder = ((address - 1) >> 2) + 1;
    if (decoder < 0 || decoder >= kAccessoryDecoders) return;
    const uint8_t last = gAccessoryState[decoder].lastOutput;
    const int first = firstOutput + ((address - 1) & 3) * 2 + 1;
    const int on = last & ~kSwitchOffPending;
    const vestrel::Rect square{x - 4, y - 4, x + 5, y + 5};
    if (on >= first && on <= first + span && (state & kQueued)) {
        state = static_cast<uint8_t>((state & ~kQueued) | kShown);
        if (gDiagramCanvas) gDiagramCanvas->Rectangle(square.left, square.top, square.right, square.bottom);
    } else if ((state & kShown) && !(last & kSwitchOffPending)) {
        state = static_cast<uint8_t>(state & ~(kQueued | kShown));
        if (gDiagramCanvas && gBackBuffer) gDiagramCanvas->CopyRect(square, *gBackBuffer, square);
    }
}
