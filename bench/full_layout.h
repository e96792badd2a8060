#pragma once
// A layout with every table at capacity (blocks of 15 sections) on a 1600 x 1200 canvas, for the
// drawing benchmarks.
#include <memory>
#include <string>
#include <vector>

#include "layout/draw/element_draw.h"
#include "layout/model/geometry.h"
#include "layout/model/layout_model.h"
#include "steps/model/step_program.h"

namespace fulllayout {

constexpr int kWidth = 1600;
constexpr int kHeight = 1200;

template <class Table, class Rec>
inline Rec* add(Table& table) {
    return table.append(std::make_unique<Rec>());
}

inline void clearTables() { clearElementTables(); }

inline void buildFullLayout(std::vector<StepProgramRec>& boxes) {
    clearTables();
    for (int i = 0; i < gTracks.capacity; ++i) {
        TrackRec* t = add<decltype(gTracks), TrackRec>(gTracks);
        const int x = 20 + (i % 10) * 150, y = 20 + (i / 10) * 12;
        t->points[0] = {x, y};
        t->points[1] = {x + 40, y};
        t->points[2] = {x + 80, y + 8};
        t->points[3] = {x + 120, y + 8};
        t->segments = 3;
        t->flags = static_cast<uint8_t>((i % 4) << 2);  // layers 0..3, some hidden
    }
    for (int i = 0; i < gBlocks.capacity; ++i) {
        BlockRec* b = add<decltype(gBlocks), BlockRec>(gBlocks);
        const int x = 20 + (i % 4) * 390, y = 150 + (i / 4) * 8;
        for (int k = 0; k <= kMaxSections; ++k) b->points[k] = {x + k * 24, y + (k % 2) * 3};
        b->sections = kMaxSections;
        b->number = static_cast<int16_t>(i + 1);
        b->allowedDirection = "HTB"[i % 3];
        for (int s = 0; s < kMaxSections; ++s) b->sectionKinds[s] = static_cast<uint8_t>(s % 7);
        b->flags = static_cast<uint8_t>((i % 4) << 1);
    }
    for (int i = 0; i < gTurnouts.capacity; ++i) {
        TurnoutRec* t = add<decltype(gTurnouts), TurnoutRec>(gTurnouts);
        const int x = 20 + (i % 20) * 78, y = 570 + (i / 20) * 30;
        t->subtype = "lrkx"[i % 4];
        t->number = static_cast<int16_t>(i + 1);
        t->position = i % 2 ? 'R' : 'G';
        t->legs[0] = {x, y};
        t->legs[1] = {x + 32, y};
        t->legs[2] = {x + 30, y - 8};
        t->legs[3] = {x + 2, y + 8};
        t->centre = {x + 16, y};
    }
    for (int i = 0; i < gSignals.capacity; ++i) {
        SignalRec* s = add<decltype(gSignals), SignalRec>(gSignals);
        s->number = static_cast<int16_t>(1000 + i);
        s->aspect = "GORS"[i % 4];
        layoutSignal(*s, {20 + (i % 25) * 62, 880 + (i / 25) * 16});
    }
    for (int i = 0; i < gOutputs.capacity; ++i) {
        OutputRec* o = add<decltype(gOutputs), OutputRec>(gOutputs);
        o->key = static_cast<int16_t>(4000 + i);
        o->state = i % 2 ? 'G' : 'R';
        layoutOutput(*o, {20 + (i % 25) * 62, 1020 + (i / 25) * 14});
    }
    for (int i = 0; i < gInputs.capacity; ++i) {
        InputRec* in = add<decltype(gInputs), InputRec>(gInputs);
        in->number = static_cast<int16_t>(i + 1);
        in->state = static_cast<uint8_t>(i % 2);
        layoutInput(*in, {20 + (i % 62) * 25, 1080 + (i / 62) * 12});
    }
    for (int i = 0; i < gTurntables.capacity; ++i) {
        TrackRec* bridge = gTracks[i];
        bridge->flags = 2;
        bridge->segments = 1;
        TurntableRec* t = add<decltype(gTurntables), TurntableRec>(gTurntables);
        t->number = static_cast<int16_t>(i + 1);
        t->positions = kTurntablePositions;
        t->track = bridge;
        bridge->points[0] = {1300, 100 + i * 150};
        bridge->points[1] = {1400, 100 + i * 150};
        layoutTurntable(*t, &bridge->points[0], &bridge->points[1]);
        for (int k = 0; k < kTurntablePositions; ++k) t->positionOfConnection[k] = static_cast<uint8_t>(k + 1);
    }
    boxes.resize(50);
    for (int i = 0; i < 50; ++i) {
        boxes[i].name = "program " + std::to_string(i);
        boxes[i].state = static_cast<uint8_t>(i % 3);
        boxes[i].box = {1450, 20 + i * 22, 1590, 40 + i * 22};
    }
}

// Draws every element of the layout on the diagram canvas, step-program boxes first, as a full redraw
// does (without the background and frame).
inline void drawAllElements(std::vector<StepProgramRec>& boxes) {
    for (StepProgramRec& p : boxes) drawStepBox(p, 0, 1);
    for (TrackRec* t : gTracks) drawTrack(*t, 0, 1);
    for (BlockRec* b : gBlocks) {
        drawBlockSectionMarks(*b, 0, 1);
        drawBlock(*b, 0, 1);
    }
    for (TurnoutRec* t : gTurnouts) drawTurnout(*t, 0, 1);
    for (SignalRec* s : gSignals) drawSignal(*s, 0, 1);
    for (OutputRec* o : gOutputs) drawOutput(*o, 0, 1);
    for (InputRec* i : gInputs) drawInput(*i, 0, 1);
    for (TurntableRec* t : gTurntables) drawTurntable(*t, 0, 1);
}

}  // namespace fulllayout
