// The first demo layout (data/demo/vestreldemo1.vtl and .loc): an oval with half circles at its ends and a
// passing loop in the station, four blocks of six sections, each section of its own kind with its own
// contact, two turnouts and a signal at the end of every block; three locomotives stand ready on three of
// the blocks. The layout is built here in code and written by the program's own layout writer, the
// locomotives are made with the train dialog and written by the locomotive file writer.
// To write the data files again after a change of the builder, the dialogs or the file formats:
//   VESTREL_WRITE_SAMPLE=$PWD/data build/tests/test_shell --gtest_filter='DemoLayout*'
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "layout/analysis/connection_analysis.h"
#include "layout/editor/point_commit.h"
#include "layout/files/layout_file.h"
#include "layout/layout_builder.h"
#include "layout/model/layout_model.h"
#include "layout/model/scale.h"
#include "layout/small_layout.h"
#include "operation/control/control_post.h"
#include "operation/control/loco_putting.h"
#include "operation/dialogs/untTrein.h"
#include "operation/files/loco_file.h"
#include "operation/model/train_model.h"
#include "platform/desktop.h"
#include "shell/config_fixture.h"
#include "shell/dialogs/untBoodschap.h"
#include "shell/main/session.h"
#include "shell/model/app_state.h"
#include "shell/shell_test_support.h"
#include "train_dialog_input.h"
#include "shell/window/untSchema.h"
#include "test_support.h"

namespace {

using namespace smalllayout;
using testsupport::readBytes;
using testsupport::writeBytes;


// A block of six sections drawn in the direction the trains run: sections 1..6 of kinds 1..6 (the begin
// section, the stations for trains running back, the stations for trains running on, the end section),
// each with its own contact, firstInput upward. The end sections are the longest: a train put on the
// block stands well inside its end section, as changing its mode asks.
BlockRec* demoBlock(std::initializer_list<DiagramPoint> points, int16_t number, int16_t firstInput) {
    BlockRec* b = addBlock(points, number, 'B');
    float total = 0;
    for (int s = 0; s < b->sections; ++s) {
        b->sectionKinds[s] = static_cast<uint8_t>(s + 1);
        b->sectionInputs[s + 1] = static_cast<int16_t>(firstInput + s);
        total += b->sectionLengths[s];
    }
    b->totalLength = static_cast<int16_t>(std::lround(total));
    b->allowedTrains = 0x8F;
    b->speed = 80;
    return b;
}

// Trains run anticlockwise: along the station at the bottom from turnout 1 (left) to turnout 2 (right),
// on the main track (block 2) or the loop (block 3), round the right end (block 1), along the top to the
// left and round the left end back to turnout 1 (block 4). Every block has a signal at its far end.
// The ends are half circles of four pieces, as the editor lays out a curve ("c", "4" and a click at the
// far end) on the chord between a straight begin or end section and the next one: the points are the
// editor's own, so that the drawing demo enters them as a curve too.
void buildDemoLayout() {
    clearElementTables();
    addTurnout('l', {200, 344}, 0, 1);
    BlockRec* main = demoBlock({{232, 344}, {272, 344}, {310, 344}, {348, 344}, {386, 344}, {424, 344}, {464, 344}}, 2, 7);
    addTrack({{230, 336}, {256, 312}});
    BlockRec* loop = demoBlock({{256, 312}, {292, 312}, {320, 312}, {348, 312}, {376, 312}, {404, 312}, {440, 312}}, 3, 13);
    addTrack({{440, 312}, {466, 336}});
    addTurnout('r', {496, 344}, 180, 2);
    addTrack({{496, 344}, {504, 344}});
    BlockRec* right = demoBlock({{504, 344}, {528, 344}, {596, 316}, {624, 248}, {596, 180}, {528, 152}, {232, 152}}, 1, 1);
    addTrack({{232, 152}, {216, 152}});
    BlockRec* top = demoBlock({{216, 152}, {112, 152}, {44, 180}, {16, 248}, {44, 316}, {112, 344}, {192, 344}}, 4, 19);
    addTrack({{192, 344}, {200, 344}});
    // Accessory numbers are unique: turnouts 1 and 2, signals 3 to 6. The first signal guards the
    // station's entry at the end of block 4.
    addSignal({176, 356}, 0, 3, top, 'H');
    addSignal({248, 140}, 180, 4, right, 'H');
    addSignal({448, 356}, 0, 5, main, 'H');
    addSignal({424, 300}, 0, 6, loop, 'H');
    // The connections, as "Verbindingen genereren" with block 1 as drawn ("Ja") makes them.
    vestrel::setDesktopOpener([](const std::string&) { return true; });
    analyseConnections(blockNumbered(1));
    vestrel::setDesktopOpener(nullptr);
}

TEST(DemoLayout, TheDataFolderHoldsWhatTheBuilderWrites) {
    testsupport::ScratchDir dir;
    resetConfigState();
    setScaleParameters('3', '5', 0);
    gCanvasSize = {640, 480};
    buildDemoLayout();
    std::filesystem::create_directories(dir.file("demo"));
    gLayoutFileName = "demo\\vestreldemo1.vtl";
    ASSERT_EQ(saveLayoutFile(), 1);
    testsupport::expectShippedData(dir.file("demo/vestreldemo1.vtl"), "demo/vestreldemo1.vtl");
}

// The demo layout loaded in the working folder, with the program started on the sample configuration
// and a session without track control running.
void startDemoSession(RunningProgram& program, bool withTrains) {
    std::filesystem::create_directories(program.dir.file("demo"));
    writeBytes(program.dir.file("vestrel.cfg"), readBytes(testsupport::shippedDataPath("vestrel.cfg")));
    writeBytes(program.dir.file("demo/vestreldemo1.vtl"), readBytes(testsupport::shippedDataPath("demo/vestreldemo1.vtl")));
    if (withTrains) writeBytes(program.dir.file("demo/vestreldemo1.loc"), readBytes(testsupport::shippedDataPath("demo/vestreldemo1.loc")));
    program.start();
    frmSchema->Timer1->stop();
    gLayoutFileName = "demo\\vestreldemo1.vtl";
    gLocoFileName = "demo\\vestreldemo1.loc";
    ASSERT_EQ(loadLayoutFile(), 1);
    ASSERT_EQ(toggleControlPostSession(13), 1);
    frmBoodschap->close();
}

TEST(DemoLayoutTrains, TheDataFolderHoldsTheLocomotiveFileTheDialogsMake) {
    RunningProgram program;
    startDemoSession(program, false);
    ASSERT_EQ(gLocCount, 0);
    gCurTrain = nullptr;
    frmTrein->show();
    // Posts 0..2 in order of number: a passenger train with two coaches on block 1, a goods engine on
    // block 4 and a shunting engine on the main track of the station; the loop stays free.
    struct Row {
        int number;
        const char* name;
        int kind, decoder, block, wagons;
    };
    const Row rows[] = {{3, "Stoptrein", 0, 4, 1, 2}, {5, "Goederenloc", 1, 1, 4, 0}, {8, "Rangeerloc", 2, 4, 2, 0}};
    for (const Row& r : rows) {
        LocoRec* loco = addLocoInDialog(r.number, r.name, r.kind, r.decoder);
        ASSERT_TRUE(loco) << r.number;
        ASSERT_EQ(placeLocoOnBlock(loco, blockNumbered(r.block)), 1) << r.number;
        ASSERT_EQ(putLocoOnTrack(loco), 1) << r.number;
        gCurTrain = loco;
        frmTrein->showNoneOrCurrent();
        for (int i = 0; i < r.wagons; ++i) addWagonBehind();
    }
    frmTrein->close();
    ASSERT_EQ(saveLocoFile(), 1);

    testsupport::expectShippedData(program.dir.file("demo/vestreldemo1.loc"), "demo/vestreldemo1.loc");
}


TEST(DemoLayoutTrains, TheDemoLayoutOpensWithThreeTrainsReadyToStart) {
    RunningProgram program;
    startDemoSession(program, true);
    frmSchema->FormResize();
    for (int i = 0; i < 10; ++i) frmSchema->Timer1Timer();
    frmSchema->grab().save(QString::fromStdString(testsupport::artefactPath("demo_layout1_window.png")));
    // Exactly the drawing demo's models: 4 blocks, 2 turnouts, 4 signals; every section with its contact.
    EXPECT_EQ(gBlockCount, 4);
    EXPECT_EQ(gTurnoutCount, 2);
    EXPECT_EQ(gSignalCount, 4);
    std::set<int> inputs;
    for (const BlockRec* b : gBlocks) {
        EXPECT_EQ(b->sections, 6) << b->number;
        EXPECT_FALSE(b->state & 0x40) << b->number;
        for (int s = 1; s <= b->sections; ++s) inputs.insert(b->sectionInputs[s]);
    }
    EXPECT_EQ(inputs.size(), 24u);  // one contact per section
    EXPECT_EQ(describeSections(blockNumbered(1)), "kinds 1 2 3 4 5 6 inputs 1 2 3 4 5 6");
    // The way round: block 1 to 4, through turnout 1 to the main track or the loop, through turnout 2 back.
    EXPECT_EQ(describeConnections(), (std::vector<std::string>{"1 2 T 2G", "1 3 T 2R", "1 4 H", "2 1 H 2G", "2 4 T 1G",
                                                               "3 1 H 2R", "3 4 T 1R", "4 1 T", "4 2 H 1G", "4 3 H 1R"}));
    // Each signal stands where the editor puts a signal for its block's end section, as drawn.
    for (const SignalRec* sig : gSignals) {
        int angle = 0;
        char letter = 0;
        EXPECT_GT(matchSignalToBlock(*sig, *sig->block, angle, letter), 0) << sig->number;
        EXPECT_EQ(angle, sig->angle) << sig->number;
        EXPECT_EQ(letter, sig->direction) << sig->number;
    }
    ASSERT_EQ(gLocsOnTrackCount, 3);
    const int blocks[3] = {1, 4, 2};
    for (int row = 0; row < 3; ++row) {
        const LocoRec* l = gLocsOnTrack[row];
        EXPECT_EQ(l->run.head.block, blockNumbered(blocks[row])) << row;
        EXPECT_NE(l->run.head.block->allowedTrains & l->kind, 0) << row;
    }
}

}  // namespace
