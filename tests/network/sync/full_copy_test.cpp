// The full copy: the server's records against hand-written bytes, and the client that rebuilds the
// server's model from them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <memory>
#include <vector>

#include "fuzz_seeds.h"
#include "layout/layout_builder.h"
#include "layout/model/block_geometry.h"
#include "layout/model/layout_codec.h"
#include "layout/model/layout_file_format.h"
#include "layout/model/layout_model.h"
#include "layout/model/scale.h"
#include "network/model/net_queue.h"
#include "network/model/net_records.h"
#include "network/model/net_state.h"
#include "network/socket/net_clients.h"
#include "network/sync/client_receive.h"
#include "network/sync/client_tables.h"
#include "network/sync/server_copy.h"
#include "layout/draw/diagram_canvas.h"
#include "operation/draw/train_drawing.h"
#include "platform/canvas.h"
#include "operation/model/route_codec.h"
#include "operation/model/route_file.h"
#include "operation/model/train_model.h"
#include "shell/model/app_state.h"
#include "steps/model/step_codec.h"
#include "steps/model/step_program.h"
#include "test_support.h"

using Bytes = std::vector<uint8_t>;

namespace {

// The first position where two byte strings differ (their common length when one is a prefix).
size_t firstDifference(const Bytes& a, const Bytes& b) {
    size_t k = 0;
    while (k < a.size() && k < b.size() && a[k] == b[k]) ++k;
    return k;
}

int32_t i32At(const Bytes& b, size_t k) {
    return static_cast<int32_t>(b[k] | (b[k + 1] << 8) | (b[k + 2] << 16) | (static_cast<uint32_t>(b[k + 3]) << 24));
}

// One table record of the copy: its code and its image.
struct TableRecord {
    int code;
    Bytes image;
};

// A copy's bytes rebuilt from its table records (changed by a test) and what follows them.
Bytes withRecords(const Bytes& all, const std::vector<TableRecord>& records, size_t end) {
    Bytes bytes(all.begin(), all.begin() + 30);
    for (const TableRecord& r : records) {
        bytes.push_back(0);
        bytes.push_back(static_cast<uint8_t>(r.code));
        bytes.insert(bytes.end(), r.image.begin(), r.image.end());
    }
    bytes.insert(bytes.end(), all.begin() + static_cast<long>(end), all.end());
    return bytes;
}

// Where the pointer fields lie in the record images.
constexpr size_t kSignalBlockAt = 0;
constexpr size_t kTurntableTrackAt = 292, kTurntableLocoAt = 296;
constexpr size_t kTurntablePositionsAt = 5;
constexpr size_t kConnectionFromAt = 0, kConnectionToAt = 4, kConnectionTurnoutsAt = 12;
constexpr size_t kLocoRouteAt = 4, kLocoHeadBlockAt = 72, kLocoFrontChainAt = 168, kLocoRearChainAt = 172;
constexpr size_t kWagonFrontBlockAt = 32, kWagonNextAt = 92, kWagonPreviousAt = 96, kWagonOwnerAt = 100;
constexpr size_t kDecoderLocoAt = 344;

class FullCopy : public ::testing::Test {
protected:
    void SetUp() override { reset(); }
    void TearDown() override {
        reset();
        clearModel();
    }
    static void reset() {
        gNetOutFill = 0;
        gNetLinkState = 0;
        gNetCarriedBytes = 0;
        gNetCopyIndex = 0;
        gRunWithoutTrack = 0;
        gOrientation = 0;
        gCoordOrientation = 0;
        gServerOrientation = 0;
        gLayoutOffset = {};
        gServerLayoutOffset = {};
        netForgetClients();
    }

    // Every kind of element, a route of two lines, a step program with a formula, locomotive 3 with
    // route 1 on block 1 and locomotive 7 with two wagons on block 2, and a function decoder bound to
    // locomotive 7.
    static void buildFixture() {
        LayoutBuilder()
            .track({{300, 100}, {350, 100}})
            .block(1, {{100, 100}, {200, 100}, {300, 100}})
            .block(2, {{100, 200}, {200, 200}, {300, 200}})
            .turnout('l', 1, {{400, 100}, {440, 100}, {440, 130}})
            .turnout('k', 2, {{400, 300}, {440, 300}, {440, 330}, {400, 330}})
            .signal(5, 2, 'H', {320, 190})
            .output(25, {500, 200})
            .input(12, {500, 300})
            .turntable(1, {200, 400}, {300, 400}, 12)
            .connection(1, 2, 'H', {{1, 'R'}})
            .stepProgram("prog", {{"ingang=1", 5, "geen", 0, 3}})
            .measureBlocks();
        for (BlockRec* b : gBlocks) computeBlockGeometry(*b);
        auto route = std::make_unique<RouteRec>();
        route->firstLine = 0;
        route->endLine = 2;
        gRoutes.append(std::move(route));
        for (int k = 0; k < 2; ++k) {
            auto line = std::make_unique<RouteLineRec>();
            line->connection = 0;
            line->wait = 10 * (k + 1);
            gRouteLines.append(std::move(line));
        }
        auto formula = std::make_unique<FormulaRec>();
        formula->types[0] = 2;
        formula->entered[0] = 4.5f;
        gFormulas.append(std::move(formula));
        LocoRec* three = putLocoOnBlock(3, 1, 0, {150, 100}, true, 'H');
        three->route = gRoutes[0];
        three->speedTable[5] = 55;
        LocoRec* seven = putLocoOnBlock(7, 2, 1, {250, 200}, true, 'H');
        hangWagons(seven, 2, 10);
        auto decoder = std::make_unique<FunctionDecoderRec>();
        decoder->address = 80;
        decoder->name = "licht";
        decoder->functionNames[0] = "kop";
        decoder->loco = seven;
        gFunctionDecoders.append(std::move(decoder));
    }

    // The copy for a client waiting at state 3, one bufferful per entry.
    static std::vector<Bytes> copyPasses() {
        gRunWithoutTrack = 1;
        if (gNetClientCount == 0) netAddClient(nullptr);
        gNetClientStates[0] = 3;
        std::vector<Bytes> passes;
        for (int pass = 0; pass < 100 && gNetClientStates[0] != 30; ++pass) {
            gNetOutFill = 0;
            const int n = netBuildSnapshot(0);
            passes.emplace_back(gNetOutBuffer, gNetOutBuffer + n);
        }
        gNetOutFill = 0;
        return passes;
    }
    static std::vector<size_t> passEnds(const std::vector<Bytes>& passes) {
        std::vector<size_t> ends;
        size_t at = 0;
        for (const Bytes& p : passes) ends.push_back(at += p.size());
        return ends;
    }
    static Bytes joined(const std::vector<Bytes>& passes) {
        Bytes all;
        for (const Bytes& p : passes) all.insert(all.end(), p.begin(), p.end());
        return all;
    }
    // The table records between the 30 header bytes and the settings record.
    static std::vector<TableRecord> tableRecords(const Bytes& all, size_t& end) {
        std::vector<TableRecord> out;
        size_t k = 30;
        const int sizes[][2] = {{4, 52},  {5, 464}, {6, 60},  {7, 56},  {8, 48},  {9, 32},
                                {10, 300}, {11, 116}, {12, 36}, {13, 20}, {14, 56}, {15, 10},
                                {16, 40}, {2, 192}, {38, 128}, {3, 156}, {35, 348}};
        while (k < all.size() && all[k] == 0) {
            int size = 0;
            for (const auto& s : sizes)
                if (s[0] == all[k + 1]) size = s[1];
            if (size == 0) break;
            out.push_back({all[k + 1], Bytes(all.begin() + static_cast<long>(k) + 2,
                                             all.begin() + static_cast<long>(k) + 2 + size)});
            k += 2 + static_cast<size_t>(size);
        }
        end = k;
        return out;
    }
    static std::vector<const TableRecord*> ofCode(const std::vector<TableRecord>& records, int code) {
        std::vector<const TableRecord*> out;
        for (const TableRecord& r : records)
            if (r.code == code) out.push_back(&r);
        return out;
    }
    static void clearModel() {
        clearTrainTables();
        clearElementTables();
        gRoutes.clear();
        gRouteLines.clear();
        gStepPrograms.clear();
        gSteps.clear();
        gFormulas.clear();
        gFunctionDecoders.clear();
    }
    // The end of the copy reads and writes "vestrel.cfg" in the working folder: a folder of the test's
    // own, so that no test takes another's orientation or layout name from it.
    testsupport::ScratchDir dir;
    // The client's side of a copy received in reads of 1500 bytes.
    static void receiveInReads(const Bytes& bytes) {
        std::vector<size_t> cuts;
        for (size_t k = 1500; k < bytes.size(); k += 1500) cuts.push_back(k);
        cuts.push_back(bytes.size());
        receiveAsClient(bytes, cuts);
    }
    // The client's side: its model emptied, the handshake passed, the bytes received as reads that
    // end at the given positions of the joined copy.
    static std::vector<int> receiveAsClient(const Bytes& all, const std::vector<size_t>& cuts) {
        clearModel();
        netForgetClients();
        gRunWithoutTrack = 0;
        gNetLinkState = 2;
        gNetCarriedBytes = 0;
        netResetCopyReception();
        std::vector<int> results;
        size_t from = 0;
        for (size_t cut : cuts) {
            const size_t n = cut - from;
            if (gNetCarriedBytes + n > kNetBufferSize) ADD_FAILURE() << "a read beyond the buffer";
            std::memcpy(gNetInBuffer + gNetCarriedBytes, all.data() + from, n);
            results.push_back(netClientReceive(gNetCarriedBytes + static_cast<int>(n)));
            from = cut;
        }
        return results;
    }
};

TEST_F(FullCopy, HeaderTablesInOrderAndEveryPointerAsAnIndex) {
    buildFixture();
    gLayoutOffset = {-5, 7};
    gOrientation = 0;
    gLayoutFileName = "proef.vtl";
    gLocoFileName = "proef.loc";
    gCanvasSize = {800, 600};
    const Bytes all = joined(copyPasses());
    ASSERT_EQ(gNetClientStates[0], 30);

    const Bytes header = {18, 18, 0, 0, 0, 0, 1, 0,                                  // client number 1
                          22, 22, 0, 0, 0, 0, 0xFB, 0xFF, 0xFF, 0xFF, 7, 0, 0, 0,  // offset -5, 7
                          23, 23, 0, 0, 0, 0, 0, 0};                               // orientation 0
    ASSERT_GE(all.size(), header.size());
    EXPECT_EQ(Bytes(all.begin(), all.begin() + 30), header);

    size_t end = 0;
    const std::vector<TableRecord> records = tableRecords(all, end);
    std::vector<int> codes;
    for (const TableRecord& r : records) codes.push_back(r.code);
    // Tracks (the plain one and the turntable's bridge), blocks, turnouts, the signal, the output,
    // the input, the turntable, the connection, the route and its two lines, the step program and
    // its step, the formula, the two locomotives, their speed tables, the two wagons, the decoder.
    const std::vector<int> expectedCodes = {4, 4, 5, 5, 6, 6, 7, 8, 9, 10, 11, 12, 13, 13, 14, 15, 16,
                                            2, 2, 38, 38, 3, 3, 35};
    EXPECT_EQ(codes, expectedCodes);

    // Signal on block 2: its block as 0-based index 1.
    EXPECT_EQ(i32At(ofCode(records, 7)[0]->image, kSignalBlockAt), 1);
    // Turntable: the bridge track (0-based 1), no locomotive.
    EXPECT_EQ(i32At(ofCode(records, 10)[0]->image, kTurntableTrackAt), 1);
    EXPECT_EQ(i32At(ofCode(records, 10)[0]->image, kTurntableLocoAt), 0);
    // Connection 1 -> 2 through turnout 1: blocks 0-based, turnouts index + 1, then none.
    const Bytes& c = ofCode(records, 11)[0]->image;
    EXPECT_EQ(i32At(c, kConnectionFromAt), 0);
    EXPECT_EQ(i32At(c, kConnectionToAt), 1);
    EXPECT_EQ(i32At(c, kConnectionTurnoutsAt), 1);
    EXPECT_EQ(i32At(c, kConnectionTurnoutsAt + 4), 0);
    // Locomotive 3: route 1, head on block 1, no wagons. Locomotive 7: no route, block 2, its front
    // chain starting at the wagon in slot 0 (1-based 1).
    const auto locos = ofCode(records, 2);
    EXPECT_EQ(i32At(locos[0]->image, kLocoRouteAt), 1);
    EXPECT_EQ(i32At(locos[0]->image, kLocoHeadBlockAt), 1);
    EXPECT_EQ(i32At(locos[0]->image, kLocoFrontChainAt), 0);
    EXPECT_EQ(i32At(locos[1]->image, kLocoRouteAt), 0);
    EXPECT_EQ(i32At(locos[1]->image, kLocoHeadBlockAt), 2);
    EXPECT_EQ(i32At(locos[1]->image, kLocoFrontChainAt), gLocs[1]->frontChain->slot + 1);
    EXPECT_EQ(i32At(locos[1]->image, kLocoRearChainAt), 0);
    // Speed tables: 127 bytes and a spare.
    EXPECT_EQ(ofCode(records, 38)[0]->image[5], 55);
    EXPECT_EQ(ofCode(records, 38)[0]->image[127], 0);
    // Wagons: positions on block 2, chained 1 <-> 2, owned by locomotive 7 (1-based index 2).
    const auto wagons = ofCode(records, 3);
    const int first = gLocs[1]->frontChain->slot + 1;
    const int second = gLocs[1]->frontChain->next->slot + 1;
    EXPECT_EQ(i32At(wagons[first - 1]->image, kWagonFrontBlockAt), 2);
    EXPECT_EQ(i32At(wagons[first - 1]->image, kWagonNextAt), second);
    EXPECT_EQ(i32At(wagons[first - 1]->image, kWagonPreviousAt), 0);
    EXPECT_EQ(i32At(wagons[second - 1]->image, kWagonPreviousAt), first);
    EXPECT_EQ(i32At(wagons[second - 1]->image, kWagonNextAt), 0);
    for (const TableRecord* w : wagons) EXPECT_EQ(i32At(w->image, kWagonOwnerAt), 2);
    // The decoder bound to locomotive 7.
    EXPECT_EQ(i32At(ofCode(records, 35)[0]->image, kDecoderLocoAt), 2);

    // The settings record, then the end record: names of 26 bytes, width, height - 23.
    ASSERT_EQ(all.size(), end + 38 + 58);
    EXPECT_EQ(all[end], 21);
    EXPECT_EQ(all[end + 1], 21);
    Bytes endRecord(58, 0);
    endRecord[0] = 1;
    endRecord[1] = 1;
    std::memcpy(&endRecord[2], "proef.vtl", 9);
    std::memcpy(&endRecord[28], "proef.loc", 9);
    endRecord[54] = 0x20;  // 800
    endRecord[55] = 0x03;
    endRecord[56] = 0x41;  // 577
    endRecord[57] = 0x02;
    EXPECT_EQ(Bytes(all.end() - 58, all.end()), endRecord);
}

TEST_F(FullCopy, SixtyBlocksGoFourPerPass) {
    LayoutBuilder builder;
    for (int n = 1; n <= 60; ++n) builder.block(n, {{100, 10 * n}, {200, 10 * n}, {300, 10 * n}});
    const std::vector<Bytes> passes = copyPasses();
    ASSERT_EQ(passes.size(), 15u);
    for (size_t p = 0; p < passes.size(); ++p) {
        size_t k = p == 0 ? 30 : 0;
        int blocks = 0;
        for (; k < passes[p].size() && passes[p][k] == 0 && passes[p][k + 1] == 5; k += 466) ++blocks;
        EXPECT_EQ(blocks, 4) << "pass " << p;
        EXPECT_LE(passes[p].size(), 2000u);
    }
    EXPECT_EQ(passes.back().size(), 4u * 466 + 38 + 58);
    EXPECT_EQ(gNetClientStates[0], 30);
}

// The settings and the end record need 96 bytes: at a fill of 1905 they wait for the next pass.
TEST_F(FullCopy, SettingsAndEndOnlyWhereBothFit) {
    netAddClient(nullptr);
    gRunWithoutTrack = 1;
    for (int fill : {1904, 1905}) {
        gNetClientStates[0] = 21;
        gNetOutFill = fill;
        netBuildSnapshot(0);
        if (fill == 1904) {
            EXPECT_EQ(gNetOutFill, 2000);
            EXPECT_EQ(gNetClientStates[0], 30);
        } else {
            EXPECT_EQ(gNetOutFill, 1905);
            EXPECT_EQ(gNetClientStates[0], 21);
        }
    }
}

TEST_F(FullCopy, ASecondClientGetsCopyDataOnlyAfterTheFirstIsSynchronised) {
    LayoutBuilder builder;
    for (int n = 1; n <= 10; ++n) builder.block(n, {{100, 10 * n}, {200, 10 * n}, {300, 10 * n}});
    gRunWithoutTrack = 1;
    netAddClient(nullptr);
    netAddClient(nullptr);
    gNetClientStates[0] = 3;
    gNetClientStates[1] = 3;
    std::vector<int> served;
    for (int pass = 0; pass < 20; ++pass) {
        gNetOutFill = 0;
        for (int i = 0; i < gNetClientCount; ++i) {
            if (netBuildSnapshot(i) == 0) continue;
            served.push_back(i);
            break;
        }
    }
    // Ten blocks take three passes per client.
    EXPECT_EQ(served, (std::vector<int>{0, 0, 0, 1, 1, 1}));
    EXPECT_EQ(gNetClientStates[1], 30);
}

TEST_F(FullCopy, NothingWhileTheSessionIsStopped) {
    netAddClient(nullptr);
    gNetClientStates[0] = 3;
    gRunWithoutTrack = 0;
    EXPECT_EQ(netBuildSnapshot(0), 0);
    EXPECT_EQ(gNetClientStates[0], 3);
}

TEST_F(FullCopy, TheClientRebuildsTheServersModelFromReadsSplitInsideABlock) {
    buildFixture();
    gLayoutFileName = "proef.vtl";
    gLocoFileName = "proef.loc";
    const std::vector<Bytes> passes = copyPasses();
    Bytes all = joined(passes);
    const std::vector<uint8_t> layoutImage = writeLayoutImage();
    const std::vector<uint8_t> routeImage = routeFileImage();

    // Cut inside the first block record (after the header and the two track records), then at each
    // pass's end.
    const size_t insideBlock = 30 + 2 * 54 + 100;
    std::vector<size_t> cuts = {insideBlock};
    for (size_t end : passEnds(passes)) cuts.push_back(end);
    const std::vector<int> results = receiveAsClient(all, cuts);
    EXPECT_EQ(results.front(), 255);
    EXPECT_EQ(results.back(), 1);
    EXPECT_EQ(gNetCarriedBytes, 0);
    ASSERT_EQ(gNetLinkState, 40);
    EXPECT_EQ(gLayoutFileName, "proef.vtl");
    EXPECT_EQ(gLocoFileName, "proef.loc");
    EXPECT_EQ(gRunWithoutTrack, 1);

    // The redraw at the end of the copy marks the turnouts and signals it drew (run-time only).
    for (TurnoutRec* t : gTurnouts) t->runState = 0;
    for (SignalRec* s : gSignals) s->runState = 0;
    EXPECT_EQ(writeLayoutImage(), layoutImage) << firstDifference(writeLayoutImage(), layoutImage);
    EXPECT_EQ(routeFileImage(), routeImage);
    ASSERT_EQ(gLocCount, 2);
    ASSERT_EQ(gLocsOnTrackCount, 2);
    EXPECT_EQ(gLocs[0]->route, gRoutes[0]);
    EXPECT_EQ(gLocs[0]->run.head.block, gBlocks[0]);
    EXPECT_EQ(gLocs[0]->speedTable[5], 55);
    LocoRec* seven = gLocs[1];
    ASSERT_NE(seven->frontChain, nullptr);
    ASSERT_NE(seven->frontChain->next, nullptr);
    EXPECT_EQ(seven->frontChain->next->previous, seven->frontChain);
    EXPECT_EQ(seven->frontChain->owner, seven);
    EXPECT_EQ(gWagonCounts.coupledEnd, 2);
    ASSERT_EQ(gFunctionDecoderCount, 1);
    EXPECT_EQ(gFunctionDecoders[0]->loco, seven);
    EXPECT_EQ(gFunctionDecoders[0]->functionNames[0], "kop");
    EXPECT_EQ(gSignals[0]->block, gBlocks[1]);
    EXPECT_EQ(gConnections[0]->turnouts[0], gTurnouts[0]);
    EXPECT_EQ(gTurntables[0]->track, gTracks[1]);

    // Copied again from the client's tables, the bytes are the server's.
    netAddClient(nullptr);
    // The locomotives' run-time caches (packet cache, block corrections) are the server's own: their
    // set-flags travel but the client keeps none.
    const auto withoutCaches = [](Bytes b) {
        size_t end = 0;
        size_t k = 30;
        for (const TableRecord& r : tableRecords(b, end)) {
            if (r.code == 2) std::fill(b.begin() + static_cast<long>(k) + 2 + 176, b.begin() + static_cast<long>(k) + 2 + 184, 0);
            k += r.image.size() + 2;
        }
        return b;
    };
    const Bytes again = withoutCaches(joined(copyPasses()));
    all = withoutCaches(all);
    EXPECT_EQ(again, all) << firstDifference(again, all) << " " << int(again[firstDifference(again, all)]) << " " << int(all[firstDifference(again, all)]);
}

TEST_F(FullCopy, AClientInAnotherOrientationTurnsEveryElementUntilTheServerTurnsLikeIt) {
    buildFixture();
    gLayoutFileName = "proef.vtl";  // a named layout: the configuration is not read again
    gRunWithoutTrack = 1;
    const std::vector<Bytes> passes = copyPasses();
    const Bytes all = joined(passes);
    // What the server's own layout looks like turned to orientation 1.
    rotateLayout(1, 1);
    const std::vector<uint8_t> turned = writeLayoutImage();
    const DiagramPoint blockStart = gBlocks[0]->points[0];

    gOrientation = 1;
    gCoordOrientation = 1;
    receiveAsClient(all, passEnds(passes));
    ASSERT_EQ(gNetLinkState, 40);
    EXPECT_EQ(gCoordOrientation, 1);
    EXPECT_EQ(gBlocks[0]->points[0], blockStart);
    for (TurnoutRec* t : gTurnouts) t->runState = 0;
    for (SignalRec* s : gSignals) s->runState = 0;
    EXPECT_EQ(writeLayoutImage(), turned) << firstDifference(writeLayoutImage(), turned);

    // A train position from the server (orientation 0) is turned; after the server turned to the
    // client's orientation it is taken as it stands.
    auto positionOf = [](float x, float y) {
        Bytes r = {2, 24, 3, 0, 0, 0};
        auto f32 = [&r](float v) {
            uint8_t b[4];
            std::memcpy(b, &v, 4);
            r.insert(r.end(), b, b + 4);
        };
        f32(x);
        f32(y);
        f32(1);
        f32(0);
        r.insert(r.end(), {0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0});
        return r;
    };
    auto receive = [](const Bytes& r) {
        std::memcpy(gNetInBuffer, r.data(), r.size());
        return netClientReceive(static_cast<int>(r.size()));
    };
    ASSERT_EQ(receive(positionOf(150, 100)), 1);
    EXPECT_FLOAT_EQ(gLocs[0]->run.head.dx, 0);
    EXPECT_NE(gLocs[0]->run.head.x, 150);
    ASSERT_EQ(receive({23, 23, 0, 0, 0, 0, 1, 0}), 1);
    ASSERT_EQ(receive(positionOf(150, 100)), 1);
    EXPECT_FLOAT_EQ(gLocs[0]->run.head.x, 150);
    EXPECT_FLOAT_EQ(gLocs[0]->run.head.y, 100);
    EXPECT_FLOAT_EQ(gLocs[0]->run.head.dx, 1);
}

// Faults of received data: nothing overruns or dangles.
TEST_F(FullCopy, ReceivedIndexesOutsideTheTablesBecomeNoneAndFullTablesSkipRecords) {
    buildFixture();
    const Bytes all = joined(copyPasses());
    size_t end = 0;
    std::vector<TableRecord> records = tableRecords(all, end);
    // A copy whose signal names block 99, whose connection names turnout 50, whose first wagon's next
    // is slot 2^31 (beyond the signed range), and with more input records than the table holds.
    Bytes bytes(all.begin(), all.begin() + 30);
    bool firstWagon = true;
    for (TableRecord& r : records) {
        if (r.code == 7) r.image[kSignalBlockAt] = 99;
        if (r.code == 11) r.image[kConnectionTurnoutsAt] = 50;
        if (r.code == 3 && firstWagon) {
            const uint8_t slot[] = {0, 0, 0, 0x80};
            std::copy(std::begin(slot), std::end(slot), r.image.begin() + kWagonNextAt);
            firstWagon = false;
        }
        const int copies = r.code == 9 ? 500 : 1;
        for (int k = 0; k < copies; ++k) {
            bytes.push_back(0);
            bytes.push_back(static_cast<uint8_t>(r.code));
            bytes.insert(bytes.end(), r.image.begin(), r.image.end());
        }
    }
    bytes.insert(bytes.end(), all.begin() + static_cast<long>(end), all.end());
    receiveInReads(bytes);
    ASSERT_EQ(gNetLinkState, 40);
    EXPECT_EQ(gInputCount, 496);
    EXPECT_EQ(gSignals[0]->block, nullptr);
    EXPECT_EQ(gConnections[0]->turnouts[0], nullptr);
    ASSERT_EQ(gWagonTotal, 2);
    EXPECT_EQ(gWagons[0]->next, nullptr);
    EXPECT_EQ(gWagons[1]->previous, gWagons[0]);
    EXPECT_EQ(gFunctionDecoderCount, 1);  // the records behind the skipped ones still arrive
}

// Counts and codes index the records' own arrays and the program's tables: a peer's value outside
// its range is held within it, so nothing overruns and the layout the client saves opens again.
TEST_F(FullCopy, ReceivedCountsAndCodesOutsideTheirRangeAreHeldWithinIt) {
    buildFixture();
    const Bytes all = joined(copyPasses());
    size_t end = 0;
    std::vector<TableRecord> records = tableRecords(all, end);
    const auto recode = [](TableRecord& r, auto decode, auto change, auto encode) {
        vestrel::ByteReader in(r.image);
        auto rec = decode(in);
        change(rec);
        vestrel::ByteWriter out;
        encode(out, rec);
        r.image = out.data();
    };
    for (TableRecord& r : records) {
        if (r.code == 4)
            recode(r, [](vestrel::ByteReader& in) { TrackRec t; decodeTrack(in, t); return t; },
                   [](TrackRec& t) { t.segments = 9; }, encodeTrack);
        if (r.code == 5)
            recode(r, [](vestrel::ByteReader& in) { BlockRec b; decodeBlock(in, b); return b; },
                   [](BlockRec& b) { b.sections = 0; }, encodeBlock);
        if (r.code == 10) {
            r.image[kTurntablePositionsAt] = 40;
            using Linked = std::pair<TurntableRec, int32_t>;  // with its track index
            recode(r, [](vestrel::ByteReader& in) { Linked t; decodeTurntable(in, t.first, t.second); return t; },
                   [](Linked& t) { t.first.centre[0] = 1e29f; t.first.centre[1] = -1e29f; },
                   [](vestrel::ByteWriter& out, const Linked& t) { encodeTurntable(out, t.first, t.second); });
        }
        if (r.code == 14)
            recode(r, [](vestrel::ByteReader& in) { StepProgramRec p; decodeStepProgram(in, p); return p; },
                   [](StepProgramRec& p) { p.firstStep = 5; }, encodeStepProgram);
        if (r.code == 15)
            recode(r, [](vestrel::ByteReader& in) { StepRec st; decodeStep(in, st); return st; },
                   [](StepRec& st) { st.conditionCode = 77; st.actionCode = 99; }, encodeStep);
        if (r.code == 16)
            recode(r, [](vestrel::ByteReader& in) { FormulaRec f; decodeFormula(in, f); return f; },
                   [](FormulaRec& f) { f.types[1] = 9; f.comparison = 8; f.operation = 12; }, encodeFormula);
    }
    Bytes bytes = withRecords(all, records, end);
    // The end record's canvas: 32767 wide.
    bytes[bytes.size() - 4] = 0xFF;
    bytes[bytes.size() - 3] = 0x7F;
    receiveInReads(bytes);
    ASSERT_EQ(gNetLinkState, 40);
    EXPECT_EQ(gTracks[0]->segments, 3);
    EXPECT_EQ(gBlocks[0]->sections, 1);
    EXPECT_EQ(gTurntables[0]->positions, kTurntablePositions);
    // A centre far off is held where the bridge's ends stay inside the 32-bit range, as the loader holds it.
    EXPECT_LE(gTurntables[0]->centre[0], 2147483520.0f - gTurntables[0]->radius);
    EXPECT_GE(gTurntables[0]->centre[1], gTurntables[0]->radius - 2147483520.0f);
    EXPECT_EQ(gStepPrograms[0]->stepCount, 0);
    EXPECT_EQ(gSteps[0]->conditionCode, 0);
    EXPECT_EQ(gSteps[0]->actionCode, 0);
    EXPECT_EQ(gFormulas[0]->types[1], 0);
    EXPECT_EQ(gFormulas[0]->comparison, 0);
    EXPECT_EQ(gFormulas[0]->operation, 0);
    EXPECT_EQ(gCanvasSize.width, 640);
    EXPECT_EQ(gCanvasSize.height, 480);
    LayoutFileImage image;
    EXPECT_TRUE(readLayoutImage(writeLayoutImage(), image));

    // Once synchronised, a table record adds nothing: the tables stay index for index the server's.
    const int tracks = gTrackCount;
    Bytes extra = {0, 4};
    extra.insert(extra.end(), records.front().image.begin(), records.front().image.end());
    std::memcpy(gNetInBuffer, extra.data(), extra.size());
    EXPECT_EQ(netClientReceive(static_cast<int>(extra.size())), 1);
    EXPECT_EQ(gTrackCount, tracks);
}

TEST_F(FullCopy, APositionForAnUnknownLocomotiveEndsTheBatch) {
    gNetLinkState = 40;
    const Bytes bytes = {2, 24, 44, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12,
                         23, 23, 0, 0, 0, 0, 2, 0};
    std::memcpy(gNetInBuffer, bytes.data(), bytes.size());
    EXPECT_EQ(netClientReceive(static_cast<int>(bytes.size())), 0);
    EXPECT_EQ(gServerOrientation, 0);  // the record behind it was not read
    EXPECT_EQ(gNetCarriedBytes, 0);
}

void putF32(Bytes& b, size_t at, float v) { std::memcpy(b.data() + at, &v, 4); }

// Where a train position may lie: inside the range that every drawing of it keeps to.
void expectUsable(const PositionRec& p) {
    constexpr float kLimit = 2147483520.0f;
    for (float v : {p.x, p.y, p.dx, p.dy}) {
        EXPECT_TRUE(std::isfinite(v));
        EXPECT_LE(std::fabs(v), kLimit);
    }
    EXPECT_LE(std::abs(static_cast<int64_t>(p.ix)), 2147483520);
    EXPECT_LE(std::abs(static_cast<int64_t>(p.iy)), 2147483520);
}

// A hostile server's train positions near the ends of the float range, on clients turned 0, 2 and 3
// quarter turns from it: through the copy and through a position record (kind 2 code 24), the
// positions are held where the train can be drawn (the sanitizer build checks the drawing).
TEST_F(FullCopy, AHostileServersTrainPositionsAreHeldWhereTheyCanBeDrawn) {
    vestrel::Canvas back{640, 480, 0xC0C0C0};
    vestrel::Canvas screen = back;
    gDiagramCanvas = &screen;
    gBackBuffer = &back;
    gLayoutFileName = "proef.vtl";  // a named layout: the configuration is not read again
    constexpr size_t kHeadX = kLocoHeadBlockAt - 32, kHeadY = kHeadX + 4, kHeadDx = kHeadX + 8;
    struct CopyCase {
        const char* what;
        size_t at;
        float value;
    };
    const CopyCase copyCases[] = {
        {"head x 3e9", kHeadX, 3e9f},
        {"head x -3e9", kHeadX, -3e9f},
        {"head dx no number", kHeadDx, std::nanf("")},
        {"head y infinite", kHeadY, INFINITY},
    };
    for (int orientation : {0, 2, 3}) {
        for (const CopyCase& c : copyCases) {
            SCOPED_TRACE(std::string(c.what) + ", client orientation " + std::to_string(orientation));
            reset();
            clearModel();
            buildFixture();
            const Bytes all = joined(copyPasses());
            size_t end = 0;
            std::vector<TableRecord> records = tableRecords(all, end);
            for (TableRecord& r : records)
                if (r.code == 2) {
                    putF32(r.image, c.at, c.value);  // locomotive 3, the first
                    break;
                }
            gOrientation = orientation;
            gCoordOrientation = orientation;
            receiveInReads(withRecords(all, records, end));
            ASSERT_EQ(gNetLinkState, 40);
            ASSERT_EQ(gLocsOnTrackCount, 2);
            LocoRec* three = gLocs[0];
            expectUsable(three->run.head);
            drawTrain(three);
            drawLocoSymbol(three, 1);
            eraseTrain(three);

            // A position record with head y -1.7e38, taken in the client's orientation.
            Bytes r = {2, 24, 3, 0, 0, 0};
            r.resize(34, 0);
            putF32(r, 6, 150);
            putF32(r, 10, -1.7e38f);
            putF32(r, 14, 1);
            r[30] = 1;  // block 1
            std::memcpy(gNetInBuffer, r.data(), r.size());
            EXPECT_EQ(netClientReceive(static_cast<int>(r.size())), 1);
            expectUsable(three->run.head);
            drawTrain(three);
            drawLocoSymbol(three, 1);
        }
    }
    gDiagramCanvas = nullptr;
    gBackBuffer = nullptr;
}

// A route whose lines lie outside the copy's line table keeps its place, without lines, as the route
// file would never hold it; the routes the client then saves open again.
TEST_F(FullCopy, ARouteWhoseLinesLieOutsideTheCopysLineTableKeepsNoLines) {
    buildFixture();
    const Bytes all = joined(copyPasses());
    size_t end = 0;
    std::vector<TableRecord> records = tableRecords(all, end);
    std::erase_if(records, [](const TableRecord& r) { return r.code == 13; });  // no route lines
    receiveInReads(withRecords(all, records, end));
    ASSERT_EQ(gNetLinkState, 40);
    ASSERT_EQ(gRouteCount, 1);
    EXPECT_EQ(gRouteLineCount, 0);
    EXPECT_EQ(gRoutes[0]->firstLine, gRoutes[0]->endLine);
    EXPECT_EQ(gLocs[0]->route, gRoutes[0]) << "the locomotive keeps its route";
    RouteFileContent content;
    EXPECT_EQ(readRouteFileImage(routeFileImage(), content), RouteFileRead::Ok);
}

// The client-receive harness's seed: the fixture's whole copy, received by a client still copying
// (first byte: reads as large as the buffer takes; second: copying).
TEST_F(FullCopy, ClientReceiveFuzzSeedsWrittenOnRequest) {
    if (!fuzzseeds::folder()) GTEST_SKIP();
    buildFixture();
    Bytes seed = {0, 1};
    const Bytes all = joined(copyPasses());
    seed.insert(seed.end(), all.begin(), all.end());
    fuzzseeds::write("client_receive", "full_copy.bin", seed);
    seed[0] = 200;  // the same copy in reads of 200 bytes
    fuzzseeds::write("client_receive", "full_copy_in_reads.bin", seed);

    // A hostile server: locomotive 3's head with a direction that is no number, and far out on a
    // client turned two quarter turns from the server (the orientation record ends the copy's header).
    size_t end = 0;
    std::vector<TableRecord> records = tableRecords(all, end);
    constexpr size_t kHeadX = kLocoHeadBlockAt - 32, kHeadDx = kHeadX + 8;
    const auto hostileCopy = [&](size_t at, float v, uint8_t serverOrientation) {
        std::vector<TableRecord> changed = records;
        for (TableRecord& r : changed)
            if (r.code == 2) {
                putF32(r.image, at, v);
                break;
            }
        Bytes b = {0, 1};
        const Bytes copy = withRecords(all, changed, end);
        b.insert(b.end(), copy.begin(), copy.end());
        b[2 + 28] = serverOrientation;
        return b;
    };
    fuzzseeds::write("client_receive", "hostile_head_dx_nan.bin", hostileCopy(kHeadDx, std::nanf(""), 0));
    fuzzseeds::write("client_receive", "hostile_head_x_far_turned.bin", hostileCopy(kHeadX, 3e9f, 2));
    // Synchronised: the server turns two or three quarter turns away, then sends the positions of
    // locomotive 3 (and of both ends of the two wagons it has in the harnesses' fixed files) with y
    // -1.7e38.
    for (uint8_t orientation : {2, 3}) {
        Bytes b = {0, 0, 23, 23, 0, 0, 0, 0, orientation, 0, 2, 24, 3, 0, 0, 0};
        Bytes position(28, 0);
        putF32(position, 0, 150);
        putF32(position, 4, -1.7e38f);
        putF32(position, 8, 1);
        position[24] = 1;  // block 1
        for (int end = 0; end < 5; ++end) b.insert(b.end(), position.begin(), position.end());
        fuzzseeds::write("client_receive", "hostile_position_turned_" + std::to_string(orientation) + ".bin", b);
    }
}

}  // namespace
