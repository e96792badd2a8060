#pragma once
// A hand-made layout and locomotive file for session and control-post tests: every kind of element,
// and trains standing on blocks as the locomotive file describes them.
#include <string>
#include <vector>

#include "layout/layout_builder.h"
#include "layout/model/layout_model.h"
#include "operation/model/train_model.h"
#include "operation/train_images.h"
#include "shell/model/app_state.h"
#include "steps/model/formula_vars.h"
#include "test_support.h"

// Blocks 1 (y 100) and 2 (y 200), each from x 100 to 300 in two sections; turnout 1 with its centre at
// (420, 100); signal 5 at the 'H' end of block 1 with its anchor at (320, 90); output key 25 (address
// 12, green) at (500, 200); input 12 at (500, 300); step program "prog" in (600, 100)-(650, 120);
// turntable 1 of 12 positions centred at (250, 400), radius 50.
inline void buildSessionLayout() {
    LayoutBuilder()
        .block(1, {{100, 100}, {200, 100}, {300, 100}})
        .block(2, {{100, 200}, {200, 200}, {300, 200}})
        .turnout('l', 1, {{400, 100}, {440, 100}, {440, 130}})
        .signal(5, 1, 'H', {320, 90})
        .output(25, {500, 200})
        .input(12, {500, 300})
        .stepBox("prog", 600, 100, 650, 120)
        .turntable(1, {200, 400}, {300, 400}, 12);
}

struct FileTrain {
    int number;
    float x, y;
    int block;  // 1-based block index of the head, 0 off the track
    int decoder = 4;  // decoder type: 0..2 Motorola, 3..5 DCC
    int wagons = 0;   // coupled behind it (its front chain), 15 units long, 5 apart, on its block
};

// On the section of the head block that holds x, travelling toward the block's last point.
inline Pos headAt(const FileTrain& t) {
    Pos p;
    p.x = t.x;
    p.y = t.y;
    p.dx = 1;
    const BlockRec* b = t.block > 0 && t.block <= gBlockCount ? gBlocks[t.block - 1] : nullptr;
    while (b && p.a + 1 < b->sections && b->points[p.a + 1].x <= t.x) ++p.a;
    p.b = p.a + 1;
    p.ix = static_cast<int>(t.x);
    p.iy = static_cast<int>(t.y);
    p.block = t.block;
    return p;
}

// The run state that ends a locomotive file, for the layout as it stands: block b (1-based) has the
// locomotive locoOfBlock(b) (1-based in file order, 0 none) as its arrived and assigned train; turnouts
// free at 'G', signals 'G', turntables at position 1, the formula variables 0.
template <class LocoOfBlock>
inline void appendRunState(FileBytes& f, LocoOfBlock locoOfBlock) {
    f.i32(gBlockCount);
    for (int b = 1; b <= gBlockCount; ++b) f.i32(locoOfBlock(b)).i32(locoOfBlock(b));
    f.i32(gTurnoutCount);
    for (int i = 0; i < gTurnoutCount; ++i) f.i32(0).u8('G');
    f.i32(gSignalCount);
    for (int i = 0; i < gSignalCount; ++i) f.u8('G');
    f.i32(gTurntableCount);
    for (const TurntableRec* t : gTurntables) f.u8(1).f32(t->bridgeAngle).i32(0);
    for (int i = 0; i < kFormulaVars; ++i) f.f32(0);
}

// The locomotive file (current version, zoom '3') for the layout as it stands: the given locomotives
// with their wagons, no loose wagons, each on-track locomotive the arrived and assigned train of its
// head block. Speed tables hold entry j = j.
inline Bytes sessionLocoFile(const std::vector<FileTrain>& trains) {
    FileBytes f;
    f.header('3').i32(static_cast<int64_t>(trains.size()));
    for (const FileTrain& t : trains) {
        Image im = locoImage(t.number);
        im.u8(LocoAt::decoder, static_cast<uint8_t>(t.decoder)).i16(LocoAt::steps, kDecoderTypeSteps[t.decoder]);
        putPosition(im, LocoAt::head, headAt(t));
        im.u8(LocoAt::mode, 1).u8(LocoAt::role, 6);
        if (t.wagons > 0) im.i32(LocoAt::front, 1);
        f.add(im);
    }
    for (size_t k = 0; k < trains.size(); ++k) {
        Image table(127);
        for (int j = 0; j < 127; ++j) table.u8(j, j);
        f.add(table);
    }
    int wagons = 0;
    for (size_t k = 0; k < trains.size(); ++k)
        for (int n = 0; n < trains[k].wagons; ++n, ++wagons) {
            FileTrain end = trains[k];
            end.x -= 5 + 20.f * n;
            Image w = wagonImage(101 + wagons);
            putPosition(w, WagonAt::front, headAt(end));
            end.x -= 15;
            putPosition(w, WagonAt::rear, headAt(end));
            w.i32(WagonAt::next, n + 1 < trains[k].wagons ? 1 : 0).i32(WagonAt::owner, static_cast<int64_t>(k) + 1);
            f.add(w);
        }
    f.i32(0).i32(wagons);  // no loose wagons, none off the track
    appendRunState(f, [&](int b) {
        int loco = 0;
        for (size_t k = 0; k < trains.size(); ++k)
            if (trains[k].block == b) loco = static_cast<int>(k) + 1;
        return loco;
    });
    return f.b;
}

// Locomotive 3 on block 1 at (150, 100) and locomotive 7 on block 2 at (250, 200), and locomotive 9
// off the track.
inline std::vector<FileTrain> twoTrains() { return {{3, 150, 100, 1}, {7, 250, 200, 2}, {9, 0, 0, 0}}; }

inline void writeSessionLocoFile(const std::string& name, const std::vector<FileTrain>& trains) {
    testsupport::writeBytes(name, sessionLocoFile(trains));
}

// The session layout with its locomotive file "test.loc" holding two trains on blocks, as saved.
inline void buildSessionLayoutWithTwoTrains() {
    buildSessionLayout();
    gLocoFileName = "test.loc";
    writeSessionLocoFile("test.loc", twoTrains());
    gDirtyFlags = 0;
}
