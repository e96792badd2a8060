// The server's data broadcasts as a synchronised client applies them, from hand-written records: each
// finds its object by index and number, and a record for another object changes nothing.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "layout/layout_builder.h"
#include "layout/model/layout_model.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "network/sync/client_receive.h"
#include "network/sync/client_tables.h"
#include "operation/draw/train_drawing.h"
#include "operation/model/route_file.h"
#include "operation/model/train_codec.h"
#include "platform/byte_io.h"
#include "operation/model/train_model.h"
#include "steps/model/step_program.h"

using Bytes = std::vector<uint8_t>;

namespace {

class ClientUpdates : public ::testing::Test {
protected:
    void SetUp() override {
        LayoutBuilder().block(1, {{100, 100}, {200, 100}, {300, 100}}).turntable(2, {200, 400}, {300, 400}, 12)
            .stepProgram("p", {{"ingang=1", 5, "geen", 0, 3}});
        auto loco = std::make_unique<LocoRec>();
        loco->number = 3;
        gLocs.append(std::move(loco));
        gWagons.append(std::make_unique<WagonRec>());
        gRouteLines.append(std::make_unique<RouteLineRec>());
        gFormulas.append(std::make_unique<FormulaRec>());
        auto d = std::make_unique<FunctionDecoderRec>();
        d->address = 80;
        gFunctionDecoders.append(std::move(d));
        gNetLinkState = 40;
    }
    void TearDown() override {
        gNetLinkState = 0;
        gNetCarriedBytes = 0;
        clearTrainTables();
        clearElementTables();
        gRouteLines.clear();
        gFormulas.clear();
        gSteps.clear();
        gStepPrograms.clear();
        gFunctionDecoders.clear();
    }
    static int receive(const Bytes& r) {
        std::memcpy(gNetInBuffer, r.data(), r.size());
        return netClientReceive(static_cast<int>(r.size()));
    }
};

Bytes withData(Bytes head, int size, std::initializer_list<std::pair<int, int>> bytes) {
    head.resize(head.size() + static_cast<size_t>(size), 0);
    for (const auto& [at, v] : bytes) head[static_cast<size_t>(at)] = static_cast<uint8_t>(v);
    return head;
}

struct Case {
    const char* what;
    Bytes record;
    std::function<bool()> applied;
};

TEST_F(ClientUpdates, EachDataRecordReachesItsObjectOnly) {
    const std::vector<Case> cases = {
        {"speed table and maximum speed", withData({2, 38, 3, 0, 0, 0}, 130, {{6 + 9, 99}, {134, 120}}),
         [] { return gLocs[0]->speedTable[9] == 99 && gLocs[0]->run.maxSpeed == 120; }},
        {"wagon length", {3, 39, 0, 0, 0, 0, 21, 0}, [] { return gWagons[0]->lengthCm == 21; }},
        {"block properties", withData({5, 37, 1, 0, 0, 0}, 16, {{6, 3}, {14, 60}, {18, 30}}),
         [] { return gBlocks[0]->allowedTrains == 3 && gBlocks[0]->speed == 60 && gBlocks[0]->waitTime == 30; }},
        {"turntable settings", withData({10, 37, 2, 0, 0, 0}, 26, {{12, 9}, {26, 201}}),
         [] { return gTurntables[0]->pulseTime == 9 && gTurntables[0]->startAddress == 201; }},
        {"route line", withData({13, 37, 20, 0, 0, 0}, 20, {{6, 0xFF}, {7, 0xFF}, {8, 0xFF}, {9, 0xFF}, {18, 45}}),
         [] { return gRouteLines[0]->wait == 45; }},
        {"step", withData({15, 37, 10, 0, 0, 0}, 10, {{10, 17}}), [] { return gSteps[0]->time == 17; }},
        {"formula", withData({16, 37, 22, 0, 0, 0}, 22, {{6, 2}, {9, 3}}),
         [] { return gFormulas[0]->types[0] == 2 && gFormulas[0]->comparison == 3; }},
        {"decoder function F5 on", {35, 35, 80, 0, 0, 0, 5, 1}, [] { return gFunctionDecoders[0]->functionState == 0x100; }},
        {"decoder function name", withData({35, 37, 80, 0, 0, 0, 2}, 11, {{7, 'k'}, {8, 'o'}, {9, 'p'}}),
         [] { return gFunctionDecoders[0]->functionNames[2] == "kop"; }},
        {"decoder name", withData({35, 49, 80, 0, 0, 0}, 22, {{6, 'a'}, {7, 'b'}}), [] { return gFunctionDecoders[0]->name == "ab"; }},
        {"decoder function count", {35, 50, 80, 0, 0, 0, 12, 0}, [] { return gFunctionDecoders[0]->functionCount == 12; }},
        {"decoder protocol", {35, 51, 80, 0, 0, 0, 0, 0}, [] { return gFunctionDecoders[0]->protocol == 0; }},
        // c names the locomotive as its slot + 1: 1 is the first of gLocs.
        {"decoder bound", {35, 2, 80, 0, 0, 0, 1, 0}, [] { return gFunctionDecoders[0]->loco == gLocs[0]; }},
        {"decoder unbound by 0", {35, 2, 80, 0, 0, 0, 0, 0}, [] { return gFunctionDecoders[0]->loco == nullptr; }},
        {"turntable turned to track 5", {10, 44, 2, 0, 0, 0, 5, 1}, [] { return gTurntables[0]->secondPosition == 5; }},
        {"step inserted at 1", {14, 0, 0, 0, 0, 0, 1, 0}, [] { return gStepPrograms[0]->stepCount == 2 && gStepCount == 2; }},
        {"step 1 deleted", {14, 42, 42, 0, 0, 0, 1, 0}, [] { return gStepPrograms[0]->stepCount == 1 && gStepCount == 1; }},
        {"condition formula added to step 0", {16, 0, 0, 0, 1, 0, 1, 0}, [] { return gFormulaCount == 2; }},
        {"formula 2 removed again", {16, 42, 0, 0, 1, 0, 1, 0}, [] { return gFormulaCount == 1; }},
    };
    for (const Case& c : cases) {
        // First with a number that is not the object's (where the record carries one), then right.
        Bytes wrong = c.record;
        if (c.record[0] != 3 && c.record[0] != 13 && c.record[0] != 15 && c.record[0] != 16) {
            wrong[2] ^= 0x40;
            EXPECT_EQ(receive(wrong), 1) << c.what;
            EXPECT_FALSE(c.applied()) << c.what << ": applied with another number";
        }
        EXPECT_EQ(receive(c.record), 1) << c.what;
        EXPECT_TRUE(c.applied()) << c.what;
    }
}

// Texts end at their field, even when the server sent no zero.
TEST_F(ClientUpdates, TextsAreCutAtTheirField) {
    Bytes name = {35, 49, 80, 0, 0, 0};
    name.resize(28, 'x');
    EXPECT_EQ(receive(name), 1);
    EXPECT_EQ(gFunctionDecoders[0]->name, std::string(20, 'x'));
    Bytes function = {35, 37, 80, 0, 0, 0, 27};
    function.resize(18, 'y');
    EXPECT_EQ(receive(function), 1);
    EXPECT_EQ(gFunctionDecoders[0]->functionNames[27], std::string(10, 'y'));
    Bytes outside = {35, 37, 80, 0, 0, 0, 28};  // function index beyond the 28
    outside.resize(18, 'z');
    EXPECT_EQ(receive(outside), 1);
}

// An unknown kind ends the batch; a record cut at the read's end waits for the rest.
TEST_F(ClientUpdates, UnknownRecordsEndTheBatchAndCutOnesWait) {
    EXPECT_EQ(receive({77, 1, 0, 0, 0, 0, 0, 0, 35, 50, 80, 0, 0, 0, 9, 0}), 0);
    EXPECT_NE(gFunctionDecoders[0]->functionCount, 9);
    EXPECT_EQ(gNetCarriedBytes, 0);
    EXPECT_EQ(receive({35, 50, 80, 0, 0, 0, 9, 0, 35, 49, 80}), 255);
    EXPECT_EQ(gFunctionDecoders[0]->functionCount, 9);
    EXPECT_EQ(gNetCarriedBytes, 3);
}

// Kind 2 code 31 turns the train as the server's reversal did: the head's direction vector and its two
// section indexes; the same direction again changes nothing.
TEST_F(ClientUpdates, AReversalTurnsTheTrainsEnds) {
    LocoRec* l = gLocs[0];
    l->direction = 'v';
    l->run.head.x = 150.5f;
    l->run.head.dx = 2.0f;
    l->run.head.dy = -1.0f;
    l->run.head.sectionA = 1;
    l->run.head.sectionB = 2;
    EXPECT_EQ(receive({2, 31, 3, 0, 0, 0, 'a', 0}), 1);
    EXPECT_EQ(l->direction, 'a');
    EXPECT_EQ(l->run.head.dx, -2.0f);
    EXPECT_EQ(l->run.head.dy, 1.0f);
    EXPECT_EQ(l->run.head.sectionA, 2);
    EXPECT_EQ(l->run.head.sectionB, 1);
    EXPECT_EQ(l->run.head.x, 150.5f);
    EXPECT_EQ(receive({2, 31, 3, 0, 0, 0, 'a', 0}), 1);
    EXPECT_EQ(l->run.head.dx, -2.0f);
    EXPECT_EQ(receive({2, 31, 3, 0, 0, 0, 'T', 0}), 1);  // the heading end alone
    EXPECT_EQ(l->heading, 'T');
    EXPECT_EQ(l->run.head.dx, -2.0f);
}

// A position far off (as a damaged or hostile server may send) is held to the range the locomotive
// file's loader allows, and finding trains near a point still works on it.
TEST_F(ClientUpdates, AFarPositionIsHeldToTheLoadersRange) {
    LocoRec* l = gLocs[0];
    gLocsOnTrack.append(l);
    Bytes r = {2, 24, 3, 0, 0, 0};
    auto f32 = [&r](float v) {
        uint8_t b[4];
        std::memcpy(b, &v, 4);
        r.insert(r.end(), b, b + 4);
    };
    f32(-2.9e25f);
    f32(3.0e38f);
    f32(1.0f);
    f32(0.0f);
    r.insert(r.end(), {1, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0});
    ASSERT_EQ(r.size(), 34u);
    EXPECT_EQ(receive(r), 1);
    EXPECT_EQ(l->run.head.x, -2147483520.0f);
    EXPECT_EQ(l->run.head.y, 2147483520.0f);
    EXPECT_EQ(l->run.head.ix, -2147483520);
    EXPECT_EQ(l->run.head.block, gBlocks[0]);
    std::array<LocoRec*, 20> near{};
    EXPECT_EQ(findTrainsNear(near, {300, 100}, 20, nullptr), 0);
}

// What a client takes over is held to what its own file loaders accept, so that it never writes a
// file that it then calls damaged: block slopes 0..8 (else 4), bend correction 0..4 (else 0).
TEST_F(ClientUpdates, BlockSettingsOutsideTheirRangeTakeTheLoadersDefaults) {
    BlockRec* b = gBlocks[0];
    EXPECT_EQ(receive(withData({5, 37, 1, 0, 0, 0}, 16, {{11, 9}, {12, 9}, {13, 0xFF}, {14, 60}, {18, 30}})), 1);
    EXPECT_EQ(b->speed, 60);
    EXPECT_EQ(b->bendCorrection, 0);
    EXPECT_EQ(b->outwardSlope, 4);
    EXPECT_EQ(b->returnSlope, 4);
    EXPECT_EQ(receive(withData({5, 37, 1, 0, 0, 0}, 16, {{11, 3}, {12, 8}, {13, 0}, {14, 60}, {18, 30}})), 1);
    EXPECT_EQ(b->bendCorrection, 3);
    EXPECT_EQ(b->outwardSlope, 8);
    EXPECT_EQ(b->returnSlope, 0);
}

// A locomotive as the loaders and the train dialog would refuse it does not stay so in a client: a
// copied locomotive with a step count the file loader refuses takes 28, a data block with one is not
// taken over, and a number outside 1..9999 is no new number.
TEST_F(ClientUpdates, LocomotiveFieldsTheLoadersRefuseAreNotTakenOver) {
    LocoRec* l = gLocs[0];
    const int steps = l->run.speedSteps;
    const std::vector<Case> refused = {
        {"data block with 0 speed steps", withData({2, 37, 3, 0, 0, 0}, 72, {{6 + 6, 0}}),
         [&] { return l->run.speedSteps == steps; }},
        {"data block with 13 speed steps", withData({2, 37, 3, 0, 0, 0}, 72, {{6 + 6, 13}}),
         [&] { return l->run.speedSteps == steps; }},
        {"number 0", {2, 43, 3, 0, 0, 0, 0, 0}, [&] { return l->number == 3; }},
        {"number 10000", {2, 43, 3, 0, 0, 0, 0x10, 0x27}, [&] { return l->number == 3; }},
        {"number -1", {2, 43, 3, 0, 0, 0, 0xFF, 0xFF}, [&] { return l->number == 3; }},
    };
    for (const Case& c : refused) {
        EXPECT_EQ(receive(c.record), 1) << c.what;
        EXPECT_TRUE(c.applied()) << c.what;
    }
    EXPECT_EQ(receive(withData({2, 37, 3, 0, 0, 0}, 72, {{6 + 6, 14}})), 1);
    EXPECT_EQ(l->run.speedSteps, 14);
    EXPECT_EQ(receive({2, 43, 3, 0, 0, 0, 0x0F, 0x27}), 1);
    EXPECT_EQ(l->number, 9999);

    gNetLinkState = 2;  // the copy arrives
    for (int16_t received : {0, 13, 126}) {
        LocoRec copied;
        copied.number = 5;
        copied.run.speedSteps = received;
        vestrel::ByteWriter w;
        encodeLoco(w, copied, LocoLinks{});
        Bytes r = {0, 2};
        r.insert(r.end(), w.data().begin(), w.data().end());
        std::memcpy(gNetInBuffer, r.data(), r.size());
        ASSERT_EQ(netClientReadTable(0, static_cast<int>(r.size())), static_cast<int>(r.size()));
        EXPECT_EQ(gLocs[gLocCount - 1]->run.speedSteps, received == 126 ? 126 : 28) << received;
    }
}

}  // namespace

