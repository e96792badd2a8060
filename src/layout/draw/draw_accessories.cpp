// Drawing turnouts, signals, outputs and inputs, and handing their state to the link and the network.
#include "layout/draw/diagram_canvas.h"
#include "layout/model/display_settings.h"
#include "layout/draw/element_colours.h"
#include "layout/draw/element_draw.h"
#include "link/buffers/link_buffers.h"
#include "network/model/net_queue.h"
#include "operation/model/loco_slots.h"
#include "platform/canvas.h"
#include "shell/model/app_state.h"

using vestrel::Canvas;

namespace {
constexpr uint8_t kDrawnMark = 0x01;     // cleared whenever the element is drawn
constexpr uint8_t kCommandQueued = 0x04;  // its accessory command was queued by the drawing

void line(Canvas& canvas, uint32_t colour, DiagramPoint a, DiagramPoint b, int offset = 0) {
    canvas.Pen.Color = colour;
    canvas.MoveTo(nudge(a.x, offset), nudge(a.y, offset));
    canvas.LineTo(nudge(b.x, offset), nudge(b.y, offset));
}

void copyPen(Canvas& canvas) {
    canvas.Pen.Style = vestrel::PenStyle::Solid;
    canvas.Pen.Mode = vestrel::PenMode::Copy;
    canvas.Pen.Width = 1;
}

void queueTurnoutState(TurnoutRec& t, int mode) {
    if (mode != 2) {
        if (t.partner)
            t.runState |= 0x80;  // a half of a double turnout: the pair is switched as one
        else if (queueAccessoryCommand(t.position, t.number, 0, t.pulseTime))
            t.runState |= kCommandQueued;
    }
    if (gNetOutFill >= 1990) return;
    const int manual = (t.options & 2) ? 0xFF00 : 0;
    if (netQueueRecord(30, 6, 44, t.number, t.ownIndex, t.position + manual))
        netAppendValue(t.holder ? locoOwnIndex(*t.holder) + 1 : 0);
}

struct TurnoutColours {
    uint32_t straight;
    uint32_t diverging;
};

TurnoutColours turnoutColours(const TurnoutRec& t, int erase) {
    if (erase) return {kBackgroundColour, kBackgroundColour};
    const uint32_t inactive = (t.options & 2) ? kBlackColour : sessionRunning() ? kGrey176Colour : kShadowColour;
    uint32_t active = t.position == 'G' ? kGreenColour : kRedColour;
    if (gShowConnections && t.holder && !(t.runState & 0x20)) active = kYellowColour;
    return {t.position == 'G' ? active : inactive, t.position == 'R' ? active : inactive};
}

void paintTurnout(const TurnoutRec& t, int erase, Canvas& canvas) {
    copyPen(canvas);
    const DiagramPoint* p = t.legs;
    const uint32_t joint = erase ? kBackgroundColour : kBlackColour;
    if (t.subtype == 'x') {
        line(canvas, erase ? kBackgroundColour : kShadowColour, p[2], p[3], 1);
        const uint32_t rails = erase ? kBackgroundColour : kWhiteColour;
        line(canvas, rails, p[0], p[1]);
        line(canvas, rails, p[2], p[3]);
        canvas.SetPixel(p[3].x, p[3].y, joint);
    } else {
        const TurnoutColours c = turnoutColours(t, erase);
        if (t.subtype == 'k') {
            line(canvas, c.diverging, p[0], p[2]);
            line(canvas, c.diverging, p[3], p[1]);
            line(canvas, c.straight, p[0], p[1]);
            line(canvas, c.straight, p[2], p[3]);
            canvas.SetPixel(p[3].x, p[3].y, joint);
        } else {
            line(canvas, c.diverging, p[2], p[0]);
            canvas.Pen.Color = c.straight;
            canvas.LineTo(p[1].x, p[1].y);
        }
    }
    for (int k = 0; k < 3; ++k) canvas.SetPixel(p[k].x, p[k].y, kBlackColour);
    if (erase) {
        canvas.SetPixel(p[1].x, p[1].y, kBackgroundColour);
        canvas.SetPixel(p[2].x, p[2].y, kBackgroundColour);
    }
    if (t.number != 0) drawElementNumber(t.centre, t.number, erase, canvas);
}

uint32_t aspectColour(char aspect) {
    switch (aspect) {
    case 'G': return kGreenColour;
    case 'O': return kYellowColour;
    case 'R': return kRedColour;
    default: return kMagentaColour;
    }
}

void paintSignal(const SignalRec& s, int erase, Canvas& canvas) {
    copyPen(canvas);
    const DiagramPoint* p = s.outline;
    line(canvas, erase ? kBackgroundColour : kShadowColour, p[1], p[2], 1);
    line(canvas, erase ? kBackgroundColour : kWhiteColour, p[1], p[2]);
    drawLampSquare(p[0].x, p[0].y, 3, erase ? kBackgroundColour : aspectColour(s.aspect), 1, canvas);
    if (s.number != 0) drawElementNumber(p[3], s.number, erase, canvas);
}

void lampCircle(Canvas& canvas, DiagramPoint at) { canvas.Ellipse(nudge(at.x, -3), nudge(at.y, -3), nudge(at.x, 4), nudge(at.y, 4)); }
}  // namespace

void drawTurnout(TurnoutRec& t, int erase, int mode) {
    if (!repaintingAfterScroll() && t.subtype != 'x') queueTurnoutState(t, mode);
    t.runState &= ~kDrawnMark;
    Canvas* canvases[2];
    const int n = diagramCanvases(mode != 0, canvases);
    for (int k = 0; k < n; ++k) paintTurnout(t, erase, *canvases[k]);
}

void drawSignal(SignalRec& s, int erase, int mode) {
    if (!repaintingAfterScroll() && mode != 2 && queueAccessoryCommand(s.aspect, s.number, s.orangeNumber, s.pulseTime)) {
        s.runState |= kCommandQueued;
        netQueueRecord(30, 7, 44, s.number, s.ownIndex, s.aspect);
    }
    s.runState &= ~kDrawnMark;
    Canvas* canvases[2];
    const int n = diagramCanvases(mode != 0, canvases);
    for (int k = 0; k < n; ++k) paintSignal(s, erase, *canvases[k]);
}

void drawOutput(OutputRec& o, int erase, int backBuffer) {
    o.runFlags &= ~kDrawnMark;
    if (!repaintingAfterScroll()) netQueueRecord(30, 8, 44, o.key / 2, o.ownIndex, o.state);
    Canvas* canvases[2];
    const int n = diagramCanvases(backBuffer, canvases);
    for (int k = 0; k < n; ++k) {
        Canvas& canvas = *canvases[k];
        copyPen(canvas);
        canvas.Brush.Style = vestrel::BrushStyle::Solid;
        canvas.Brush.Color = kBackgroundColour;
        if (erase) {
            canvas.Pen.Color = kBackgroundColour;
        } else if (o.key & 1) {  // the green button
            canvas.Pen.Color = kDarkGreenColour;
            if (o.state == 'G') canvas.Brush.Color = kWhiteColour;
        } else {
            canvas.Pen.Color = kRedColour;
            if (o.state == 'R') canvas.Brush.Color = kWhiteColour;
        }
        lampCircle(canvas, o.outline[0]);
        line(canvas, erase ? kBackgroundColour : kBlackColour, o.outline[1], o.outline[2]);
        if (o.key != 0) drawElementNumber(o.outline[3], o.key / 2, erase, canvas);
    }
}

void drawInput(InputRec& i, int erase, int backBuffer) {
    i.runState &= ~kDrawnMark;
    if (!repaintingAfterScroll()) netQueueRecord(30, 9, 44, i.number, i.ownIndex, i.state);
    Canvas* canvases[2];
    const int n = diagramCanvases(backBuffer, canvases);
    for (int k = 0; k < n; ++k) {
        Canvas& canvas = *canvases[k];
        copyPen(canvas);
        canvas.Brush.Style = vestrel::BrushStyle::Solid;
        canvas.Pen.Color = erase ? kBackgroundColour : kBlackColour;
        canvas.Brush.Color = (!erase && i.state != 0) ? kYellowColour : kBackgroundColour;
        lampCircle(canvas, i.anchor);
        if (i.number != 0) drawElementNumber(i.secondPoint, i.number, erase, canvas);
    }
}
