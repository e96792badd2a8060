#pragma once
// A small hand-made layout with one element of every kind, for the scale, rotation and drawing tests.
// Records are filled the way the editor leaves them: outlines from their anchors, segment angles and
// section directions from their points.
#include <cmath>
#include <initializer_list>
#include <memory>
#include <vector>

#include "layout/model/geometry.h"
#include "layout/model/layout_model.h"

namespace smalllayout {

inline int segmentAngle(DiagramPoint a, DiagramPoint b) {
    const int dx = b.x - a.x;
    const int dy = b.y - a.y;
    if (dx == 0) return dy > 0 ? 90 : (dy < 0 ? -90 : 0);
    if (dy == 0) return dx >= 0 ? 0 : 180;
    return roundHalfAway(std::atan2(double(dy), double(dx)) * 180 / kPi);
}

inline TrackRec* addTrack(std::initializer_list<DiagramPoint> points, uint8_t flags = 0) {
    auto t = std::make_unique<TrackRec>();
    int k = 0;
    for (DiagramPoint p : points) t->points[k++] = p;
    t->segments = k - 1;
    for (int s = 0; s < t->segments; ++s) t->segmentAngles[s] = segmentAngle(t->points[s], t->points[s + 1]);
    t->flags = flags;
    return gTracks.append(std::move(t));
}

inline BlockRec* addBlock(std::initializer_list<DiagramPoint> points, int16_t number, char direction = 'B',
                          uint8_t flags = 0) {
    auto b = std::make_unique<BlockRec>();
    int k = 0;
    for (DiagramPoint p : points) b->points[k++] = p;
    b->sections = k - 1;
    b->number = number;
    b->allowedDirection = direction;
    b->flags = flags;
    b->hAspect = b->tAspect = 'G';
    for (int s = 0; s < b->sections; ++s) {
        const DiagramPoint a = b->points[s];
        const DiagramPoint e = b->points[s + 1];
        const double len = std::hypot(double(e.x - a.x), double(e.y - a.y));
        b->sectionAngles[s] = segmentAngle(a, e);
        b->sectionLengths[s] = static_cast<float>(len);
        b->sectionDirections[s][0] = static_cast<float>((e.x - a.x) / len);
        b->sectionDirections[s][1] = static_cast<float>((e.y - a.y) / len);
    }
    b->sectionKinds[0] = 1;
    b->sectionKinds[b->sections - 1] = 6;
    return gBlocks.append(std::move(b));
}

// A turnout with its root at r; straight length l, branch b, lateral offset g (the editor's shape).
inline TurnoutRec* addTurnout(char subtype, DiagramPoint r, int angle, int16_t number, int l = 32, int b = 30,
                              int g = 8) {
    auto w = std::make_unique<TurnoutRec>();
    w->subtype = subtype;
    w->number = subtype == 'x' ? 0 : number;
    w->position = 'G';
    w->angle = angle;
    w->pulseTime = 2;
    const DiagramPoint legs[5] = {r, {r.x + l, r.y}, {r.x + b, subtype == 'r' ? r.y + g : r.y - g},
                                  {r.x + l - b, r.y + g}, {(2 * r.x + l) / 2, r.y}};
    for (int k = 0; k < 4; ++k) w->legs[k] = rotatePoint(legs[k], r, angle);
    w->centre = rotatePoint(legs[4], r, angle);
    if (subtype == 'l' || subtype == 'r') w->legs[3] = {};
    return gTurnouts.append(std::move(w));
}

inline SignalRec* addSignal(DiagramPoint anchor, int angle, int16_t number, BlockRec* block, char direction = 'H') {
    auto s = std::make_unique<SignalRec>();
    s->angle = angle;
    s->number = number;
    s->block = block;
    s->direction = direction;
    s->aspect = 'G';
    layoutSignal(*s, anchor);
    return gSignals.append(std::move(s));
}

inline OutputRec* addOutput(DiagramPoint anchor, int angle, int16_t key) {
    auto o = std::make_unique<OutputRec>();
    o->angle = angle;
    o->key = key;
    layoutOutput(*o, anchor);
    return gOutputs.append(std::move(o));
}

inline InputRec* addInput(DiagramPoint anchor, int angle, int16_t number) {
    auto i = std::make_unique<InputRec>();
    i->angle = angle;
    i->number = number;
    layoutInput(*i, anchor);
    return gInputs.append(std::move(i));
}

// A turntable whose bridge is a new two-point track from a to b.
inline TurntableRec* addTurntable(DiagramPoint a, DiagramPoint b, int positions, int16_t number = 1) {
    TrackRec* bridge = addTrack({a, b}, 2);
    auto t = std::make_unique<TurntableRec>();
    t->number = number;
    t->positions = static_cast<uint8_t>(positions);
    t->bridgeSpeed = 50;
    t->track = bridge;
    layoutTurntable(*t, &a, &b);
    return gTurntables.append(std::move(t));
}

// One element of every kind, well inside a 640 x 480 canvas.
inline void buildEveryKind() {
    addTrack({{40, 60}, {100, 60}, {140, 100}});
    addTrack({{300, 60}, {360, 60}}, 4);  // on layer 1
    BlockRec* b = addBlock({{40, 200}, {100, 200}, {160, 200}, {220, 240}}, 7, 'H');
    addBlock({{300, 300}, {360, 300}, {420, 300}}, 8, 'T', 1);
    addTurnout('l', {200, 100}, 0, 11);
    addTurnout('r', {200, 150}, 45, 12);
    addTurnout('k', {300, 150}, 0, 13);
    addTurnout('x', {400, 150}, -90, 0);
    addSignal({222, 236}, 0, 21, b);
    addOutput({120, 300}, 90, 2 * 31 + 1);
    addInput({150, 320}, 0, 41);
    addTurntable({450, 380}, {530, 380}, 12);
}

// Every coordinate and angle of the layout, to compare before and after.
inline std::vector<double> snapshot() {
    std::vector<double> v;
    auto pt = [&](DiagramPoint p) { v.push_back(p.x); v.push_back(p.y); };
    for (const TrackRec* t : gTracks) {
        for (const DiagramPoint& p : t->points) pt(p);
        for (int a : t->segmentAngles) v.push_back(a);
    }
    for (const BlockRec* b : gBlocks) {
        for (const DiagramPoint& p : b->points) pt(p);
        for (int a : b->sectionAngles) v.push_back(a);
    }
    for (const TurnoutRec* w : gTurnouts) {
        for (const DiagramPoint& p : w->legs) pt(p);
        pt(w->centre);
        v.push_back(w->angle);
    }
    for (const SignalRec* s : gSignals) {
        for (const DiagramPoint& p : s->outline) pt(p);
        v.push_back(s->angle);
    }
    for (const OutputRec* o : gOutputs) {
        for (const DiagramPoint& p : o->outline) pt(p);
        v.push_back(o->angle);
    }
    for (const InputRec* i : gInputs) {
        pt(i->anchor);
        pt(i->secondPoint);
        v.push_back(i->angle);
    }
    for (const TurntableRec* t : gTurntables) {
        v.push_back(t->positions);
        for (int k = 0; k < kTurntablePositions; ++k)
            for (int c = 0; c < 2; ++c) {
                v.push_back(t->outerEnds[k][c]);
                v.push_back(t->innerEnds[k][c]);
            }
    }
    return v;
}

}  // namespace smalllayout
