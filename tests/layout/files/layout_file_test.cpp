#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "layout/files/layout_file.h"
#include "layout/layout_file_fixture.h"
#include "shell/model/app_state.h"
#include "shell/config/messages.h"
#include "test_support.h"

using namespace layoutfixture;
using testsupport::readBytes;
using testsupport::ScratchDir;
using testsupport::writeBytes;

// Every kind of element, pointers resolved, run-time state cleared, settings applied, and the saver writes
// back exactly the hand-made file (with the meaningless bytes as 0 and the run-time fields cleared).
TEST(LayoutFile, Version9FileLoadsEveryKindAndSavesBackByteForByte) {
    ScratchDir dir;
    presetSettings();
    LoadHook hook;
    const FileLayout stored = sampleLayout();
    writeBytes("baan.vtl", fileBytes(9, stored, 0xA5));
    gLayoutFileName = "baan.vtl";
    for (int pass = 0; pass < 2; ++pass) {  // loading again replaces the first layout
        gDirtyFlags = 3;
        gVisibleLayers = 1;
        gLayoutOffset = {5, 6};
        ASSERT_EQ(loadLayoutFile(), 1) << lastDialogMessage();
    }
    EXPECT_EQ(hook.calls, 2);
    EXPECT_EQ(hook.canvas.width, 1024);
    EXPECT_EQ(hook.canvas.height, 768);
    EXPECT_EQ(gDirtyFlags, 0);
    EXPECT_EQ(gVisibleLayers, 7);
    EXPECT_EQ(gHoverReset, 2);
    EXPECT_EQ(gLayoutOffset.x, 0);
    EXPECT_EQ(gScaleDigit, '6');
    EXPECT_EQ(gTurnoutSizeMode, 1);
    EXPECT_EQ(gZoomDigit, '4');
    EXPECT_EQ(gTurnoutWidthIndex, 0);

    ASSERT_EQ(gTrackCount, 2);
    ASSERT_EQ(gBlockCount, 2);
    ASSERT_EQ(gTurnoutCount, 3);
    ASSERT_EQ(gSignalCount, 2);
    ASSERT_EQ(gOutputCount, 1);
    ASSERT_EQ(gInputCount, 1);
    ASSERT_EQ(gTurntableCount, 1);
    ASSERT_EQ(gConnectionCount, 2);
    EXPECT_EQ(gBlocks[1]->number, 11);
    EXPECT_EQ(gBlocks[1]->state, 0);           // run-time cleared (complete block)
    EXPECT_EQ(gBlocks[1]->remainingWait, 7);   // kept as stored
    EXPECT_EQ(gTracks[0]->locoOnIt, 3);
    EXPECT_EQ(gTracks[0]->vehicleFlags, 0);
    EXPECT_EQ(gTurnouts[2]->partner, 1);       // double turnout 3007 linked to turnout 7
    EXPECT_EQ(gTurnouts[2]->runState, 0);
    EXPECT_EQ(gSignals[0]->block, gBlocks[1]);
    EXPECT_EQ(gSignals[1]->block, nullptr);    // index = block count: a signal without block
    EXPECT_EQ(gOutputs[0]->runFlags, 0);
    EXPECT_EQ(gInputs[0]->runState, 0);
    EXPECT_EQ(gInputs[0]->state, 1);
    EXPECT_EQ(gTurntables[0]->track, gTracks[1]);
    EXPECT_EQ(gTurntables[0]->loco, nullptr);
    EXPECT_EQ(gConnections[0]->from, gBlocks[0]);
    EXPECT_EQ(gConnections[0]->to, gBlocks[1]);
    EXPECT_EQ(gConnections[0]->turnouts[0], gTurnouts[2]);
    EXPECT_EQ(gConnections[0]->turnouts[1], gTurnouts[0]);
    EXPECT_EQ(gConnections[0]->turnouts[2], nullptr);
    EXPECT_EQ(gAccessoryState[1].protocol, 1);
    EXPECT_EQ(gAccessoryState[2].protocol, 0);  // preset 1, the file says 0
    EXPECT_EQ(gAccessoryState[511].protocol, 1);
    EXPECT_EQ(gAccessoryState[7].lastOutput, 0);
    EXPECT_EQ(gAccessoryState[7].switchOffTime, 0u);
    EXPECT_EQ(gAccessoryState[512].protocol, 1);  // not in the file

    gLayoutFileName = "kopie.vtl";
    gDirtyFlags = 3;
    ASSERT_EQ(saveLayoutFile(), 1);
    EXPECT_EQ(gDirtyFlags, 0);
    EXPECT_EQ(readBytes("kopie.vtl"), fileBytes(9, withRunTimeCleared(stored), 0));
}

// Versions 0, 3 and 5: smaller records, fewer tables and protocol bytes, settings in the trailer.
// Each is checked through the version 9 image the saver makes of it.
TEST(LayoutFile, OlderVersionsLoadTheirFormsAndTrailer) {
    struct Case {
        int version;
        bool outputs, inputs;
        int protocols;
        bool canvas;
        bool blockHasThirdPadding;
    };
    for (const Case& c : {Case{5, true, true, 63, true, false}, Case{3, true, false, 63, true, true},
                          Case{1, false, false, 0, true, true}, Case{0, false, false, 0, false, true}}) {
        SCOPED_TRACE(c.version);
        ScratchDir dir;
        presetSettings();
        FileLayout stored = sampleLayout();
        stored.zoom = '2';
        writeBytes("oud.vtl", fileBytes(c.version, stored, 0xA5));
        gLayoutFileName = "oud.vtl";
        ASSERT_EQ(loadLayoutFile(), 1) << lastDialogMessage();

        FileLayout want = withRunTimeCleared(stored);
        want.scale = '5';  // older files have no scale: default scale, fixed turnout sizes
        want.sizeMode = 0;
        want.widthIndex = 1;  // kept from before
        if (!c.canvas) want.canvasW = 800, want.canvasH = 600;
        for (TrackRec& t : want.tracks) t.flags = 0, t.locoOnIt = 0;  // no loop bit below 7, no layers below 9
        for (BlockRec& b : want.blocks) {
            b.flags &= ~0x0E;
            if (!c.blockHasThirdPadding) b.padding1[2] = 0;
        }
        for (TurnoutRec& t : want.turnouts) t.partner = 0, t.options = 0;  // below 7
        if (c.version < 1)
            for (auto& [s, blk] : want.signals) s.orangeNumber = 0, s.reserved3[0] = s.reserved3[1] = 0;
        want.turntables.clear();
        if (!c.outputs) want.outputs.clear();
        if (!c.inputs) want.inputs.clear();
        for (size_t e = static_cast<size_t>(c.protocols); e < want.protocols.size(); ++e) want.protocols[e] = 0;
        EXPECT_EQ(gZoomDigit, '2');
        EXPECT_EQ(gCanvasSize.width, want.canvasW);
        EXPECT_EQ(gSignals[0]->block, gBlocks[1]);

        gLayoutFileName = "nieuw.vtl";
        ASSERT_EQ(saveLayoutFile(), 1);
        EXPECT_EQ(readBytes("nieuw.vtl"), fileBytes(9, want, 0));
    }
}

TEST(LayoutFile, FileWithoutHeaderIsReadFromItsFirstByteInNarrowForms) {
    ScratchDir dir;
    presetSettings();
    FileLayout stored = sampleLayout();
    stored.zoom = '2';
    const auto bytes = fileBytes(-1, stored, 0xA5);
    ASSERT_NE(bytes[0], 'V');
    writeBytes("kaal.vtl", bytes);
    gLayoutFileName = "kaal.vtl";
    ASSERT_EQ(loadLayoutFile(), 1) << lastDialogMessage();
    ASSERT_EQ(gTrackCount, 2);
    ASSERT_EQ(gBlockCount, 2);
    ASSERT_EQ(gTurnoutCount, 3);
    ASSERT_EQ(gSignalCount, 2);
    EXPECT_EQ(gOutputCount, 0);
    EXPECT_EQ(gTurntableCount, 0);
    ASSERT_EQ(gConnectionCount, 2);
    EXPECT_EQ(gTracks[1]->points[0].y, -201);
    EXPECT_EQ(gTracks[1]->flags, 0);
    EXPECT_EQ(gBlocks[1]->number, 11);
    EXPECT_EQ(gBlocks[1]->ownIndex, 1);
    EXPECT_EQ(gBlocks[1]->sections, 7);
    EXPECT_EQ(gBlocks[1]->points[7].x, 281);
    EXPECT_EQ(gBlocks[1]->state, 0);
    EXPECT_EQ(gBlocks[1]->flags, 0x11);
    EXPECT_EQ(gTurnouts[2]->number, 3007);
    EXPECT_EQ(gTurnouts[2]->partner, 0);
    EXPECT_EQ(gTurnouts[2]->centre.x, 18);
    EXPECT_EQ(gSignals[0]->block, gBlocks[1]);
    EXPECT_EQ(gSignals[0]->angle, 45);
    EXPECT_EQ(gConnections[0]->turnouts[0], gTurnouts[2]);
    EXPECT_EQ(gConnections[0]->positions[1], 'G');
    EXPECT_EQ(gZoomDigit, '2');
    EXPECT_EQ(gScaleDigit, '5');
    EXPECT_EQ(gCanvasSize.width, 800);  // no canvas size in this form
    EXPECT_EQ(gAccessoryState[2].protocol, 0);
}

TEST(LayoutFile, ZoomDigitOfTheTrailer) {
    struct Case {
        int version;
        char stored, loaded;
    };
    for (const Case& c : {Case{4, '1', '1'}, Case{7, '9', '9'}, Case{3, '1', '3'}, Case{3, '2', '2'},
                          Case{0, '7', '3'}, Case{-1, '5', '3'}}) {
        SCOPED_TRACE(c.version);
        ScratchDir dir;
        FileLayout l = sampleLayout();
        l.zoom = c.stored;
        writeBytes("z.vtl", fileBytes(c.version, l));
        gLayoutFileName = "z.vtl";
        ASSERT_EQ(loadLayoutFile(), 1);
        EXPECT_EQ(gZoomDigit, c.loaded);
    }
}

TEST(LayoutFile, Version3ConnectionsGetTwentySlotsWithTheFirstTenUsed) {
    ScratchDir dir;
    FileLayout l = sampleLayout();
    auto& [conn, links] = l.connections[0];
    for (int i = 0; i < 10; ++i) {
        links.turnouts[i] = 1 + i % 3;
        conn.positions[i] = i % 2 ? 'G' : 'R';
    }
    writeBytes("v3.vtl", fileBytes(3, l));
    gLayoutFileName = "v3.vtl";
    ASSERT_EQ(loadLayoutFile(), 1) << lastDialogMessage();
    const ConnectionRec* c = gConnections[0];
    for (int i = 0; i < 10; ++i) EXPECT_EQ(c->turnouts[i], gTurnouts[i % 3]);
    for (int i = 10; i < 20; ++i) EXPECT_EQ(c->turnouts[i], nullptr);
    EXPECT_EQ(c->positions[9], 'G');
    EXPECT_EQ(c->positions[10], 0);
}

// A file that fails any check is refused whole: its message, an empty layout, and not one setting taken
// from it. Indexes are checked like counts; a short read is a failure like a bad count.
TEST(LayoutFile, DamagedFilesAreRefusedWholeAndChangeNoSetting) {
    const auto v9 = fileBytes(9, sampleLayout());
    const auto v5 = fileBytes(5, sampleLayout());
    const auto cut = [](std::vector<uint8_t> b, size_t n) {
        b.resize(n);
        return b;
    };
    const auto put16 = [](std::vector<uint8_t> b, size_t at, int v) {
        b[at] = static_cast<uint8_t>(v);
        b[at + 1] = static_cast<uint8_t>(v >> 8);
        return b;
    };
    const auto put32 = [&](std::vector<uint8_t> b, size_t at, int v) { return put16(put16(b, at, v), at + 2, v >> 16); };
    const V9Offsets o;
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        int version;
    };
    const std::vector<Case> cases = {
        {"empty file", {}, -1},
        {"three bytes", cut(v9, 3), -1},
        {"cut in the header", cut(v9, 7), 9},
        {"cut in the counts", cut(v9, 20), 9},
        {"cut in a track", cut(v9, o.tracks + 60), 9},
        {"cut in a block", cut(v9, o.blocks + 500), 9},
        {"cut in a connection", cut(v9, o.connections + 150), 9},
        {"one protocol byte short", cut(v9, v9.size() - 1), 9},
        {"cut in the trailer", cut(v5, v5.size() - 2), 5},
        {"101 tracks", put16(v9, 12, 101), 9},
        {"-1 inputs", put16(v9, 22, -1), 9},
        {"4 turntables", put16(v9, 24, 4), 9},
        {"501 connections", put16(v9, 26, 501), 9},
        {"signal block past the count", put32(v9, o.signals, 3), 9},
        {"negative signal block", put32(v9, o.signals + 56, -1), 9},
        {"turntable track = track count", put32(v9, o.turntables + 292, 2), 9},
        {"connection from = block count", put32(v9, o.connections, 2), 9},
        {"connection to negative", put32(v9, o.connections + 116 + 4, -7), 9},
        {"turnout entry past the count", put32(v9, o.connections + 16, 4), 9},
        {"track with 4 segments", put32(v9, o.tracks + 32, 4), 9},
        {"block with 0 sections", put32(v9, o.blocks + 160, 0), 9},
        {"block with 16 sections", put32(v9, o.blocks + 464 + 160, 16), 9},
        {"turntable with 25 positions", put16(v9, o.turntables + 4, 25 << 8 | 1), 9},
        {"version 10", [&] { auto b = v9; b[1] = '1'; b[3] = '0'; return b; }(), 10},
        {"version 99", [&] { auto b = v9; b[1] = '9'; return b; }(), 99},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir dir;
        presetSettings();
        LoadHook hook;
        writeBytes("schade.vtl", c.bytes);
        gLayoutFileName = "schade.vtl";
        EXPECT_EQ(loadLayoutFile(), 0);
        EXPECT_EQ(lastDialogMessage(),
                  "Spoorbaan 'schade.vtl' (versie " + std::to_string(c.version) + ") kan niet geopend worden.");
        expectEmptyLayout();
        expectPresetSettings();
        EXPECT_EQ(hook.calls, 0);
    }
}

// Entries after the end of a connection's turnout list are never looked at, and numbers of any value load
// without indexing anything by them.
TEST(LayoutFile, OddButHarmlessValuesLoad) {
    ScratchDir dir;
    FileLayout l = sampleLayout();
    l.connections[1].second.turnouts[1] = 999;  // after the first 0
    l.turnouts[0].number = 32767;
    l.turnouts[1].number = -1;
    l.turnouts[2].number = -3000;
    l.signals[0].first.number = 20000;
    l.outputs[0].key = -2;
    l.inputs[0].number = 0;
    writeBytes("raar.vtl", fileBytes(9, l));
    gLayoutFileName = "raar.vtl";
    ASSERT_EQ(loadLayoutFile(), 1) << lastDialogMessage();
    EXPECT_EQ(gConnections[1]->turnouts[1], nullptr);
    EXPECT_EQ(gTurnouts[2]->partner, 0);  // 3000 below -3000 names no turnout
}

TEST(LayoutFile, MissingFileGivesAnEmptyLayoutWithDefaultsAndNoMessage) {
    ScratchDir dir;
    writeBytes("er.vtl", fileBytes(9, sampleLayout()));
    gLayoutFileName = "er.vtl";
    ASSERT_EQ(loadLayoutFile(), 1);
    presetSettings();
    showDialogMessage("eerder", 3);
    LoadHook hook;
    gLayoutFileName = "weg.vtl";
    EXPECT_EQ(loadLayoutFile(), 0);
    EXPECT_EQ(lastDialogMessage(), "eerder");
    expectEmptyLayout();
    EXPECT_EQ(gZoomDigit, '3');
    EXPECT_EQ(gScaleDigit, '5');
    EXPECT_EQ(gTurnoutSizeMode, 0);
    EXPECT_EQ(gVisibleLayers, 7);
    EXPECT_EQ(hook.calls, 0);
}

TEST(LayoutFile, FullTablesLoadAndSaveBack) {
    ScratchDir dir;
    const FileLayout full = fullLayout();
    const auto bytes = fileBytes(9, full);
    EXPECT_EQ(bytes.size(), 28u + 100 * 52 + 200 * 464 + 200 * 60 + 200 * 56 + 100 * 48 + 496 * 32 + 3 * 300 +
                                500 * 116 + 511);
    writeBytes("vol.vtl", bytes);
    gLayoutFileName = "vol.vtl";
    ASSERT_EQ(loadLayoutFile(), 1) << lastDialogMessage();
    EXPECT_EQ(gTrackCount, 100);
    EXPECT_EQ(gBlockCount, 200);
    EXPECT_EQ(gTurnoutCount, 200);
    EXPECT_EQ(gSignalCount, 200);
    EXPECT_EQ(gOutputCount, 100);
    EXPECT_EQ(gInputCount, 496);
    EXPECT_EQ(gTurntableCount, 3);
    EXPECT_EQ(gConnectionCount, 500);
    EXPECT_EQ(gConnections[499]->to, gBlocks[100]);
    gLayoutFileName = "vol2.vtl";
    ASSERT_EQ(saveLayoutFile(), 1);
    EXPECT_EQ(readBytes("vol2.vtl"), fileBytes(9, withRunTimeCleared(full)));
}

TEST(LayoutFile, AnExistingFileThatCannotBeReadIsRefused) {
    ScratchDir dir;
    presetSettings();
    std::filesystem::create_directory("map.vtl");
    gLayoutFileName = "map.vtl";
    EXPECT_EQ(loadLayoutFile(), 0);
    EXPECT_EQ(lastDialogMessage(), "Spoorbaan 'map.vtl' (versie -1) kan niet geopend worden.");
    expectPresetSettings();
}
