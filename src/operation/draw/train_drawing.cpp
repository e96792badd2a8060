#include "operation/draw/train_drawing.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "layout/draw/diagram_canvas.h"
#include "layout/model/geometry.h"
#include "layout/model/scale.h"
#include "operation/model/train_model.h"

namespace {

constexpr uint8_t kMoved = 0x04;  // run flags A
constexpr int kNearWagonDistance = 15;
constexpr int kMaxCollectedWagons = 20;
constexpr vestrel::TColor kSymbolBackground = 0xC0C0C0;

using vestrel::Canvas;

Canvas* screen() { return gDiagramCanvas; }
Canvas* backBuffer() { return gBackBuffer != gDiagramCanvas ? gBackBuffer : nullptr; }

void setWagonPen(Canvas& c, const WagonRec* w) {
    c.Pen.Mode = vestrel::PenMode::NotXor;
    c.Pen.Style = vestrel::PenStyle::Solid;
    c.Pen.Width = 3;
    c.Pen.Color = vehicleColour(w);
}

void restorePen(Canvas& c) {
    c.Pen.Mode = vestrel::PenMode::Copy;
    c.Pen.Width = 1;
}

void storeDrawnPosition(PositionRec& p) {
    p.ix = truncatedInt(p.x);
    p.iy = truncatedInt(p.y);
}

template <class F>
void forEachWagon(LocoRec* t, F f) {
    for (WagonRec* first : {t->frontChain, t->rearChain})
        for (WagonRec* w = first; w; w = w->next) f(w);
}

// XOR-draws the train's wagons on the screen: at their stored positions, or at their current ones,
// which are then stored.
void xorTrainWagons(LocoRec* t, bool current, bool store) {
    Canvas* c = screen();
    if (!c) return;
    forEachWagon(t, [&](WagonRec* w) {
        setWagonPen(*c, w);
        if (current && store) {
            storeDrawnPosition(w->front);
            storeDrawnPosition(w->rear);
        }
        if (current && !store) drawVehicleCurrent(w, c);
        else drawVehicleStored(w, c);
    });
    restorePen(*c);
}

bool moved(const LocoRec* t) { return (t->run.runFlagsA & kMoved) != 0; }

DiagramPoint currentPoint(const PositionRec& p) { return {truncatedInt(p.x), truncatedInt(p.y)}; }
DiagramPoint storedPoint(const PositionRec& p) { return {p.ix, p.iy}; }

// The symbols of the standing trains near p, drawn again where they were.
void redrawStandingSymbolsNear(DiagramPoint p, const LocoRec* excluded) {
    std::array<LocoRec*, 20> near{};
    const int n = findTrainsNear(near, p, 2 * gUnit4cm, excluded);
    for (int i = 0; i < n; ++i)
        if (!moved(near[i])) drawLocoSymbol(near[i], 1);
}

bool trackOnLayer(const TrackRec* t, int layerBit) { return t && (((t->flags >> 2) & 7) & layerBit); }
bool blockOnLayer(const BlockRec* b, int layerBit) { return b && (((b->flags >> 1) & 7) & layerBit); }
bool endOnLayer(const PositionRec& p, int layerBit) {
    return trackOnLayer(p.track, layerBit) || (!p.track && !p.turnout && blockOnLayer(p.block, layerBit));
}

// What eraseTrainsOnLayer took off the diagram, to be drawn again.
std::vector<LocoRec*> gErasedTrains;
std::vector<WagonRec*> gErasedLooseWagons;

void xorLooseWagon(WagonRec* w) {
    for (Canvas* c : {screen(), backBuffer()})
        if (c) drawVehicle(w, c, nullptr);
}

}  // namespace

vestrel::TColor vehicleColour(const WagonRec* w) {
    if (!w) return 0x008000;
    if (w->kind == 'G') return 0x000080;
    if (w->kind == 'P') return 0xFF0000;
    return 0x008000;
}

void drawVehicleStored(WagonRec* w, Canvas* c) {
    c->MoveTo(w->front.ix, w->front.iy);
    c->LineTo(w->rear.ix, w->rear.iy);
}

void drawVehicleCurrent(WagonRec* w, Canvas* c) {
    const DiagramPoint a = currentPoint(w->front), b = currentPoint(w->rear);
    c->MoveTo(a.x, a.y);
    c->LineTo(b.x, b.y);
}

void drawVehicle(WagonRec* w, Canvas* c, WagonRec* next) {
    if (!w || !c) return;
    setWagonPen(*c, w);
    drawVehicleStored(w, c);
    if (!next) restorePen(*c);
}

void drawVehicleChain(WagonRec* first) {
    for (Canvas* c : {backBuffer(), screen()}) {
        if (!c) continue;
        for (WagonRec* w = first; w; w = w->next) drawVehicle(w, c, w->next);
    }
}

void redrawWagonKind(WagonRec* w, char oldKind, char newKind) {
    if (!w || !w->front.ix || !w->front.iy || !w->rear.ix || !w->rear.iy) return;
    const char kind = w->kind;
    for (Canvas* c : {w->owner ? nullptr : backBuffer(), screen()}) {
        if (!c) continue;
        w->kind = oldKind;
        drawVehicle(w, c, nullptr);  // the not-XOR pen erases what it drew
        w->kind = newKind;
        drawVehicle(w, c, nullptr);
    }
    w->kind = kind;
}

void drawLocoSymbol(LocoRec* t, int useStored) {
    if (!t) return;
    t->run.runFlagsA &= static_cast<uint8_t>(~kMoved);
    Canvas* c = screen();
    if (!c) return;
    const PositionRec& head = t->run.head;
    const DiagramPoint p = useStored ? storedPoint(head) : currentPoint(head);
    c->Brush.Style = vestrel::BrushStyle::Solid;
    c->Brush.Color = kSymbolBackground;
    // Liberation Serif has the metrics of Times New Roman, the label font of the symbol.
    c->Font = vestrel::TFont{"Liberation Serif", 8, vestrel::clBlack};
    const int n = t->number >= 100 ? t->number % 100 : t->number;
    c->TextOut(n > 9 ? p.x - 5 : p.x - 2, p.y - 7, std::to_string(n));
    // The circle's outline only: the label inside stays readable.
    c->Pen = vestrel::TPen{t->heading == 'H' ? 0xFF0000u : 0x0000FFu, 1, vestrel::PenStyle::Solid, vestrel::PenMode::Copy};
    c->Brush.Style = vestrel::BrushStyle::Clear;
    c->Ellipse(p.x - gUnit4cmLess1, p.y - gUnit4cmLess1, p.x + gUnit4cm, p.y + gUnit4cm);
    // The direction dot: a 3 x 3 square toward where the train travels.
    const float reach = (gUnit4cm - 2) * gSpeedFactor;
    // Inside the symbol whatever direction a damaged file or a server gave (no number: at the centre),
    // and with room for the square at the ends of the int range.
    const auto dotAt = [reach](int at, float d) {
        const float offset = std::clamp(d * reach, -static_cast<float>(gUnit4cm), static_cast<float>(gUnit4cm));
        return std::clamp(offset == offset ? truncatedInt(at + offset) : at, INT32_MIN + 1, INT32_MAX - 2);
    };
    const int dx = dotAt(p.x, head.dx), dy = dotAt(p.y, head.dy);
    c->Brush.Style = vestrel::BrushStyle::Solid;
    c->Brush.Color = vestrel::clBlack;
    c->FillRect({dx - 1, dy - 1, dx + 2, dy + 2});
    c->Brush.Color = kSymbolBackground;
}

void restoreBackgroundUnderLoco(LocoRec* t) {
    Canvas* c = screen();
    Canvas* back = backBuffer();
    if (!t || !c || !back) return;
    const PositionRec& head = t->run.head;
    vestrel::Rect r{head.ix - gUnit4cmLess1, head.iy - gUnit4cmLess1, head.ix + gUnit4cm, head.iy + gUnit4cm};
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    r.right = std::min({r.right, c->width(), back->width()});
    r.bottom = std::min({r.bottom, c->height(), back->height()});
    if (r.left < r.right && r.top < r.bottom) c->CopyRect(r, *back, r);
}

int findTrainsNear(std::array<LocoRec*, 20>& out, DiagramPoint p, int distance, const LocoRec* excluded) {
    int n = 0;
    for (LocoRec* l : gLocsOnTrack) {
        if (l == excluded || n >= static_cast<int>(out.size())) continue;
        const PositionRec& h = l->run.head;
        // In 64 bits: a train may stand anywhere in the 32-bit range.
        const int64_t dx = static_cast<int64_t>(h.ix) - p.x, dy = static_cast<int64_t>(h.iy) - p.y;
        if (std::abs(dx) <= distance && std::abs(dy) <= distance) out[n++] = l;
    }
    return n;
}

void eraseTrain(LocoRec* t) {
    if (!t) return;
    // The wagons first: one that reaches under the symbol is then whole when the background comes back.
    xorTrainWagons(t, false, false);
    restoreBackgroundUnderLoco(t);
}

void drawTrain(LocoRec* t) {
    if (!t) return;
    redrawStandingSymbolsNear(currentPoint(t->run.head), t);
    drawLocoSymbol(t, 0);
    storeDrawnPosition(t->run.head);
    xorTrainWagons(t, true, true);
}

void redrawTrainVehicles(LocoRec* t) {
    if (!t) return;
    drawLocoSymbol(t, 0);
    xorTrainWagons(t, true, false);
}

void redrawAllTrains() {
    Canvas* c = screen();
    std::array<LocoRec*, kMaxLocsOnTrack> movedTrains{};
    int count = 0;
    for (LocoRec* l : gLocsOnTrack)
        if (moved(l) && count < kMaxLocsOnTrack) movedTrains[count++] = l;
    if (count == 0 || !c) return;
    // Standing wagons near a moved symbol are taken off first, or restoring the background under the
    // symbol would cut pieces out of them.
    std::array<WagonRec*, kMaxCollectedWagons> collected{};
    int kept = 0;
    for (int i = 0; i < count; ++i) {
        const DiagramPoint p = currentPoint(movedTrains[i]->run.head);
        for (LocoRec* l : gLocsOnTrack) {
            if (moved(l)) continue;
            forEachWagon(l, [&](WagonRec* w) {
                if (kept >= kMaxCollectedWagons || std::find(collected.begin(), collected.begin() + kept, w) != collected.begin() + kept)
                    return;
                if (pointOnSegment(w->front.ix, w->front.iy, w->rear.ix, w->rear.iy, p, kNearWagonDistance)) collected[kept++] = w;
            });
        }
    }
    for (int i = 0; i < kept; ++i) drawVehicle(collected[i], c, collected[i]);
    for (int i = count - 1; i >= 0; --i) xorTrainWagons(movedTrains[i], false, false);
    for (int i = 0; i < count; ++i) {
        restoreBackgroundUnderLoco(movedTrains[i]);
        redrawStandingSymbolsNear(storedPoint(movedTrains[i]->run.head), movedTrains[i]);
    }
    for (int i = 0; i < kept; ++i) drawVehicle(collected[i], c, collected[i]);
    for (int i = 0; i < count; ++i) xorTrainWagons(movedTrains[i], true, true);
    for (int i = 0; i < count; ++i) {
        drawLocoSymbol(movedTrains[i], 0);
        storeDrawnPosition(movedTrains[i]->run.head);
    }
    restorePen(*c);
}

void redrawTrainsForSpeedFactor() {
    for (LocoRec* l : gLocsOnTrack)
        if (onTrack(l->run.head)) l->run.runFlagsA |= kMoved;
    redrawAllTrains();
}

void drawTrainsOnTrack(int) {
    for (LocoRec* l : gLocsOnTrack) {
        if (!onTrack(l->run.head)) continue;
        drawLocoSymbol(l, 0);
        storeDrawnPosition(l->run.head);
        xorTrainWagons(l, true, true);
    }
}

void drawLooseWagons(int withBackBuffer) {
    for (int i = 0; i < gWagonCounts.loose && i < gWagons.count(); ++i) {
        WagonRec* w = gWagons[i];
        if (!onTrack(w->front)) continue;
        storeDrawnPosition(w->front);
        storeDrawnPosition(w->rear);
        drawVehicle(w, screen(), nullptr);
        if (withBackBuffer) drawVehicle(w, backBuffer(), nullptr);
    }
}

void eraseTrainsOnLayer(int layerBit) {
    gErasedTrains.clear();
    gErasedLooseWagons.clear();
    for (LocoRec* l : gLocsOnTrack) {
        bool on = endOnLayer(l->run.head, layerBit);
        forEachWagon(l, [&](WagonRec* w) { on = on || endOnLayer(w->front, layerBit) || endOnLayer(w->rear, layerBit); });
        if (!on || !onTrack(l->run.head)) continue;
        eraseTrain(l);
        gErasedTrains.push_back(l);
    }
    for (int i = 0; i < gWagonCounts.loose && i < gWagons.count(); ++i) {
        WagonRec* w = gWagons[i];
        if (!endOnLayer(w->front, layerBit) && !endOnLayer(w->rear, layerBit)) continue;
        xorLooseWagon(w);
        gErasedLooseWagons.push_back(w);
    }
}

void redrawErasedTrains() {
    for (WagonRec* w : gErasedLooseWagons) xorLooseWagon(w);
    for (LocoRec* l : gErasedTrains) drawTrain(l);
    gErasedTrains.clear();
    gErasedLooseWagons.clear();
}
