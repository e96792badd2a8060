#pragma once
// Whole layout files for the tests, built by hand from the file format table (see fileBytes), plus the
// checks shared by the layout file tests.
#include <gtest/gtest.h>

#include <cstdio>
#include <utility>
#include <vector>

#include "layout/files/layout_file.h"
#include "layout_fixtures.h"

namespace layoutfixture {

// A layout as a file holds it: records, and beside each pointer the index that stands for it.
struct FileLayout {
    char scale = '6';
    int sizeMode = 1;
    char zoom = '4';
    int widthIndex = 0;
    int canvasW = 1024;
    int canvasH = 768;
    std::vector<TrackRec> tracks;
    std::vector<BlockRec> blocks;
    std::vector<TurnoutRec> turnouts;
    std::vector<std::pair<SignalRec, int>> signals;  // block index
    std::vector<OutputRec> outputs;
    std::vector<InputRec> inputs;
    std::vector<std::pair<TurntableRec, int>> turntables;  // track index
    std::vector<std::pair<ConnectionRec, fx::Links>> connections;
    std::vector<uint8_t> protocols = std::vector<uint8_t>(511, 0);  // entries 1..511
};

// The file of `version` as the format table describes it; `filler` goes into bytes without meaning.
inline std::vector<uint8_t> fileBytes(int version, const FileLayout& l, int filler = 0) {
    fx::Bytes f;
    if (version >= 0) {
        char magic[16];
        std::snprintf(magic, sizeof magic, "V%d.%d", version / 10, version % 10);
        f.text(magic);                                                  // 0: "V0.9"
    }
    if (version >= 8)                                                   // 4: settings, 8: canvas
        f.u8(l.scale).u8(l.sizeMode).u8(l.zoom).u8(l.widthIndex).i16(l.canvasW).i16(l.canvasH - 23);
    const auto count = [&f](size_t n) { f.i16(static_cast<int>(n)); };
    count(l.tracks.size());                                             // counts T B K S [O] [I] [D] C
    count(l.blocks.size());
    count(l.turnouts.size());
    count(l.signals.size());
    if (version >= 3) count(l.outputs.size());
    if (version >= 5) count(l.inputs.size());
    if (version >= 9) count(l.turntables.size());
    count(l.connections.size());

    for (const auto& t : l.tracks) version < 0 ? fx::trackNarrow(f, t, filler) : fx::track(f, t);
    const int points = version < 4 ? 8 : version < 9 ? 11 : 16;
    for (const auto& b : l.blocks) version < 0 ? fx::blockNarrow(f, b, filler) : fx::block(f, b, points, filler);
    for (const auto& t : l.turnouts)
        version < 0 ? fx::turnoutNarrow(f, t, filler) : fx::turnout(f, t, filler, version < 3);
    for (const auto& [s, blk] : l.signals)
        version < 0 ? fx::signalNarrow(f, s, blk, filler) : fx::signal(f, s, blk, version < 1);
    if (version >= 3)
        for (const auto& o : l.outputs) fx::output(f, o);
    if (version >= 5)
        for (const auto& i : l.inputs) fx::input(f, i);
    if (version >= 9)
        for (const auto& [t, trk] : l.turntables) fx::turntable(f, t, trk, filler);
    const auto form = version < 0 ? fx::ConnForm::Narrow : version < 4 ? fx::ConnForm::Short : fx::ConnForm::Full;
    for (const auto& [c, links] : l.connections) fx::connection(f, c, links, filler, form);

    const int protocols = version >= 6 ? 511 : version >= 2 ? 63 : 0;
    f.raw(l.protocols.data(), protocols);
    if (version < 8) {                                                  // trailer
        f.u8(l.zoom);
        if (version >= 1) f.i16(l.canvasW).i16(l.canvasH - 23);
    }
    return f.b;
}

// Two tracks (the second a turntable's bridge), two blocks, a turnout, a crossing and a double turnout,
// a signal with and one without block, an output, an input, a turntable and two connections.
inline FileLayout sampleLayout() {
    FileLayout l;
    l.tracks = {fx::sampleTrack(0), fx::sampleTrack(1)};
    l.tracks[1].flags = 0x12;  // turntable bridge, layer 3
    l.blocks = {fx::sampleBlock(0, 3), fx::sampleBlock(1, 7)};
    l.turnouts = {fx::sampleTurnout(0, 7, 'r'), fx::sampleTurnout(1, 0, 'x'), fx::sampleTurnout(2, 3007, 'l')};
    l.turnouts[2].partner = 1;
    l.signals = {{fx::sampleSignal(0), 1}, {fx::sampleSignal(1), 2}};  // 2 = block count: no block
    l.outputs = {fx::sampleOutput(0)};
    l.inputs = {fx::sampleInput(0)};
    l.turntables = {{fx::sampleTurntable(0), 1}};
    fx::Links there, back;
    there.from = 0;
    there.to = 1;
    there.turnouts[0] = 3;
    there.turnouts[1] = 1;
    back.from = 1;
    back.to = 0;
    l.connections = {{fx::sampleConnection('H', "RG"), there}, {fx::sampleConnection('T', ""), back}};
    for (int entry : {1, 4, 63, 64, 511}) l.protocols[static_cast<size_t>(entry - 1)] = 1;
    return l;
}

// Every table at its capacity.
inline FileLayout fullLayout() {
    FileLayout l;
    for (int i = 0; i < 100; ++i) l.tracks.push_back(fx::sampleTrack(i));
    for (int i = 0; i < 200; ++i) l.blocks.push_back(fx::sampleBlock(i, 15));
    for (int i = 0; i < 200; ++i) l.turnouts.push_back(fx::sampleTurnout(i, i + 1));
    for (int i = 0; i < 200; ++i) l.signals.push_back({fx::sampleSignal(i), i});
    for (int i = 0; i < 100; ++i) l.outputs.push_back(fx::sampleOutput(i));
    for (int i = 0; i < 496; ++i) l.inputs.push_back(fx::sampleInput(i));
    for (int i = 0; i < 3; ++i) l.turntables.push_back({fx::sampleTurntable(i), i});
    for (int i = 0; i < 500; ++i) {
        fx::Links links;
        links.from = i % 200;
        links.to = (i + 1) % 200;
        links.turnouts[0] = i % 200 + 1;
        l.connections.push_back({fx::sampleConnection(i % 2 ? 'T' : 'H', "G"), links});
    }
    for (size_t e = 0; e < l.protocols.size(); e += 3) l.protocols[e] = 1;
    return l;
}

// What the loader leaves of the run-time fields.
inline FileLayout withRunTimeCleared(FileLayout l) {
    for (auto& t : l.tracks) t.vehicleFlags = 0;
    for (auto& b : l.blocks) b.state = 0, b.occupiedSections = 0;
    for (auto& t : l.turnouts) t.runState = 0, t.vehicleFlags = 0;
    for (auto& [s, blk] : l.signals) s.runState = 0;
    for (auto& o : l.outputs) o.runFlags = 0;
    for (auto& i : l.inputs) i.runState = 0;
    for (auto& [t, trk] : l.turntables) t.runState = 0;
    return l;
}

// Offsets in the version 9 file of sampleLayout().
struct V9Offsets {
    size_t tracks = 28;
    size_t blocks = tracks + 2 * 52;
    size_t turnouts = blocks + 2 * 464;
    size_t signals = turnouts + 3 * 60;
    size_t outputs = signals + 2 * 56;
    size_t inputs = outputs + 48;
    size_t turntables = inputs + 32;
    size_t connections = turntables + 300;
};

// Settings no file in the tests holds, so that a test can see whether a load touched them.
inline void presetSettings() {
    gScaleDigit = '7';
    gTurnoutSizeMode = 1;
    gZoomDigit = '8';
    gTurnoutWidthIndex = 1;
    gCanvasSize = {800, 600};
    for (AccessoryDecoderRec& d : gAccessoryState) d = AccessoryDecoderRec{};
    gAccessoryState[2].protocol = 1;
    gAccessoryState[512].protocol = 1;
    gAccessoryState[7].lastOutput = 0x83;
    gAccessoryState[7].switchOffTime = 1234;
}

inline void expectPresetSettings() {
    EXPECT_EQ(gScaleDigit, '7');
    EXPECT_EQ(gTurnoutSizeMode, 1);
    EXPECT_EQ(gZoomDigit, '8');
    EXPECT_EQ(gTurnoutWidthIndex, 1);
    EXPECT_EQ(gCanvasSize.width, 800);
    EXPECT_EQ(gCanvasSize.height, 600);
    EXPECT_EQ(gAccessoryState[1].protocol, 0);
    EXPECT_EQ(gAccessoryState[2].protocol, 1);
    EXPECT_EQ(gAccessoryState[7].lastOutput, 0x83);
    EXPECT_EQ(gAccessoryState[7].switchOffTime, 1234u);
}

inline void expectEmptyLayout() {
    EXPECT_EQ(gTrackCount, 0);
    EXPECT_EQ(gBlockCount, 0);
    EXPECT_EQ(gTurnoutCount, 0);
    EXPECT_EQ(gSignalCount, 0);
    EXPECT_EQ(gOutputCount, 0);
    EXPECT_EQ(gInputCount, 0);
    EXPECT_EQ(gTurntableCount, 0);
    EXPECT_EQ(gConnectionCount, 0);
}

// Counts the calls of the main window's hook while it lives.
struct LoadHook {
    static inline int calls = 0;
    static inline CanvasSize canvas{};
    LoadHook() {
        calls = 0;
        gOnLayoutLoaded = [] {
            ++calls;
            canvas = gCanvasSize;
        };
    }
    ~LoadHook() { gOnLayoutLoaded = nullptr; }
};

}  // namespace layoutfixture
