// The second demo layout (data/demo/vestreldemo2.vtl with its .loc and .trj): an oval with
// two five-track stations, a loading track (block 21) at the bottom and an unloading track (block 28)
// at the top, seven trains standing ready and two routes. The layout is built here in code and written
// by the program's own layout writer, the routes with the route editing functions, the trains with the
// train dialog; the route and train files are written by the program's writers.
// To write the data files again after a change of the layout, the dialogs or the file formats (twice:
// the trains are put on the layout as shipped):
//   VESTREL_WRITE_SAMPLE=$PWD/data build/tests/test_shell --gtest_filter='DemoLayout2.*'
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "demo_player.h"
#include "layout/analysis/connection_analysis.h"
#include "layout/files/layout_file.h"
#include "layout/layout_builder.h"
#include "layout/model/layout_model.h"
#include "layout/model/scale.h"
#include "layout/small_layout.h"
#include "operation/control/control_post.h"
#include "operation/control/loco_putting.h"
#include "operation/dialogs/untTrein.h"
#include "operation/editor/route_editing.h"
#include "operation/files/loco_file.h"
#include "operation/files/route_file_io.h"
#include "operation/model/route_file.h"
#include "operation/model/train_model.h"
#include "platform/desktop.h"
#include "shell/config/messages.h"
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

const char* const kLayout = "demo\\vestreldemo2.vtl";
const char* const kLocos = "demo\\vestreldemo2.loc";

std::string dataPath(const std::string& name) { return testsupport::fixturePath("../../data/demo/" + name); }

// The file made in the working folder's demo folder against the shipped one.
void expectShipped(const testsupport::ScratchDir& dir, const std::string& name) {
    testsupport::expectShippedData(dir.file("demo/" + name), "demo/" + name);
}

// The station tracks from the main line (level 0) inwards, bottom station (trains run east) and top
// station (trains run west); the sides: 20 and 22 on the left (running down), 24 and 23 on the right
// (running up).
const int kBottomTracks[5] = {16, 17, 18, 19, 21};  // 21: the loading track
const int kTopTracks[5] = {30, 29, 27, 26, 28};     // 28: the unloading track

// Route 1 (the goods service between the loading and the unloading track) and route 2 (through the
// station tracks 19 and 27), in the order a train runs them; both are round trips.
const std::vector<int> kGoodsRoute = {21, 24, 23, 28, 22, 20};
const std::vector<int> kThroughRoute = {19, 24, 23, 27, 22, 20};
const char* const kGoodsRouteName = "Goederendienst";
const char* const kThroughRouteName = "Reizigersdienst";  // the file keeps the routes in name order

// The trains in control-post order (the posts follow the locomotive numbers): number, name, kind index, decoder index, block, wagons.
struct DemoTrain {
    int number;
    const char* name;
    int kind;
    int decoder;
    int block;
    int wagons;
};
const DemoTrain kTrains[7] = {
    {1, "Sprinter", 0, 4, 16, 0},  {2, "Rangeerloc", 1, 1, 17, 0},  {3, "Intercity", 0, 4, 18, 0},
    {4, "Stoomloc", 0, 4, 30, 0},  {5, "Dieselloc", 1, 1, 29, 0},   {6, "Railbus", 0, 4, 26, 0},
    {7, "Goederenloc", 1, 4, 20, 2},  // post 6: runs the routes, standing where both routes pass
};

// The feedback contacts a step program waits for, on the track of route 2: block 19, block 27 and the
// right side (block 23).
const struct {
    int number;
    DiagramPoint at;
    int block;
} kContacts[3] = {{1, {400, 288}, 19}, {2, {400, 112}, 27}, {3, {760, 120}, 23}};

int gNextInput = 17;  // contacts 1..3 are the step programs'; the blocks' sections count from 17

// A block with a contact on every section; kinds are the section kinds in order (1 .. 6).
BlockRec* demoBlock(std::initializer_list<DiagramPoint> points, int number, std::initializer_list<int> kinds) {
    BlockRec* b = addBlock(points, static_cast<int16_t>(number), 'B');
    int s = 0;
    for (int kind : kinds) {
        b->sectionKinds[s] = static_cast<uint8_t>(kind);
        b->sectionInputs[s + 1] = static_cast<int16_t>(gNextInput++);
        ++s;
    }
    float total = 0;
    for (int k = 0; k < b->sections; ++k) total += b->sectionLengths[k];
    b->totalLength = static_cast<int16_t>(std::lround(total));
    b->allowedTrains = 0x8F;
    b->speed = 80;
    return b;
}

// A station track from x0 to x1 (either way) at height y: stop, station, short-train station twice,
// station, stop. The stop sections are long enough for a train put on the track to stand in them.
BlockRec* stationTrack(int x0, int x1, int y, int number) {
    const int d = x1 > x0 ? 1 : -1;
    const int len = std::abs(x1 - x0);
    return demoBlock({{x0, y}, {x0 + d * 48, y}, {x0 + d * 108, y}, {x0 + d * (len / 2), y}, {x0 + d * (len - 108), y},
                      {x0 + d * (len - 48), y}, {x1, y}},
                     number, {1, 2, 3, 4, 5, 6});
}

// One end of a station: four turnouts in a row on the main line at y, the first with its root at x,
// each leading by a 45-degree track to the next station track, outermost first. east: the turnouts
// point east (root at the west); up: the tracks lie above the main line.
void stationThroat(int x, int y, bool east, bool up, int firstNumber, int tracksX) {
    const int d = east ? 1 : -1;
    const int v = up ? -1 : 1;
    // Which of 'l' and 'r' branches toward the tracks depends on the turnout's heading.
    const char subtype = (east == up) ? 'l' : 'r';
    for (int j = 0; j < 4; ++j) {
        const int root = x + d * 32 * j;
        addTurnout(subtype, {root, y}, east ? 0 : 180, static_cast<int16_t>(firstNumber + j));
        const int level = 4 - j;
        addTrack({{root + d * 30, y + v * 8}, {tracksX, y + v * 32 * level}});
    }
}

void buildDemoLayout2() {
    clearElementTables();
    gNextInput = 17;
    // Bottom station, trains running east; its main line 16 runs from the last west turnout to the
    // first east one.
    addTrack({{40, 352}, {72, 384}, {96, 384}});
    stationThroat(96, 384, true, true, 1, 246);
    stationThroat(704, 384, false, true, 5, 554);
    demoBlock({{224, 384}, {272, 384}, {332, 384}, {400, 384}, {468, 384}, {528, 384}, {576, 384}}, kBottomTracks[0],
              {1, 2, 3, 4, 5, 6});
    for (int k = 1; k < 5; ++k) stationTrack(246, 554, 384 - 32 * k, kBottomTracks[k]);
    addTrack({{704, 384}, {728, 384}, {760, 352}});
    // The right side, running up.
    demoBlock({{760, 352}, {760, 304}, {760, 264}, {760, 216}}, 24, {1, 0, 6});
    demoBlock({{760, 216}, {760, 168}, {760, 128}, {760, 80}}, 23, {1, 0, 6});
    // Top station, trains running west.
    addTrack({{760, 80}, {728, 48}, {704, 48}});
    stationThroat(704, 48, false, false, 9, 554);
    stationThroat(96, 48, true, false, 13, 246);
    demoBlock({{576, 48}, {528, 48}, {468, 48}, {400, 48}, {332, 48}, {272, 48}, {224, 48}}, kTopTracks[0],
              {1, 2, 3, 4, 5, 6});
    for (int k = 1; k < 5; ++k) stationTrack(554, 246, 48 + 32 * k, kTopTracks[k]);
    addTrack({{96, 48}, {72, 48}, {40, 80}});
    // The left side, running down.
    demoBlock({{40, 80}, {40, 120}, {40, 152}, {40, 192}}, 22, {1, 0, 6});
    demoBlock({{40, 192}, {40, 240}, {40, 304}, {40, 352}}, 20, {1, 0, 6});
    // Exit signals of both stations, numbered after the sixteen turnouts.
    for (int k = 0; k < 5; ++k) {
        const int bottomY = 384 - 32 * k;
        const int topY = 48 + 32 * k;
        addSignal({(k == 0 ? 576 : 554) - 16, bottomY + 12}, 0, static_cast<int16_t>(31 + k), blockNumbered(kBottomTracks[k]), 'H');
        addSignal({(k == 0 ? 224 : 246) + 16, topY - 12}, 180, static_cast<int16_t>(36 + k), blockNumbered(kTopTracks[k]), 'H');
    }
    for (const auto& c : kContacts) addInput(c.at, c.at.x == 760 ? 0 : 90, static_cast<int16_t>(c.number));
    // The connections, as "Verbindingen genereren" with the loading track as drawn makes them.
    vestrel::setDesktopOpener([](const std::string&) { return true; });
    analyseConnections(blockNumbered(21));
    vestrel::setDesktopOpener(nullptr);
}

// The routes as a user clicks them in the route editor, closed into round trips.
void makeDemoRoutes() {
    clearRoutes();
    for (const auto& [name, blocks] : {std::pair{kGoodsRouteName, kGoodsRoute}, std::pair{kThroughRouteName, kThroughRoute}}) {
        RouteRec* route = gRoutes.append(std::make_unique<RouteRec>());
        route->firstLine = route->endLine = gRouteLineCount;  // a new route's lines follow the others'
        std::strcpy(route->name, name);
        int row = 1;
        for (int block : blocks) ASSERT_EQ(routeToggleBlock(route, block, row++), 1) << name << " " << block;
        ASSERT_EQ(routeCloseCycle(route, 1), 1) << name;
    }
}

// The program started in a working folder whose vestrel.cfg names the demo layout (from `files`, with
// the demo folder of the shipped data when empty).
void startOnDemoLayout(RunningProgram& program, const std::vector<std::string>& files) {
    std::filesystem::create_directories(program.dir.file("demo"));
    for (const std::string& name : files) writeBytes(program.dir.file("demo/" + name), readBytes(dataPath(name)));
    CfgFixture cfg;
    cfg.layout = kLayout;
    cfg.loco = kLocos;
    cfg.visuNummer = 1;
    writeBytes(program.dir.file("vestrel.cfg"), cfg.bytes());
    program.start();
    frmSchema->Timer1->stop();
}

TEST(DemoLayout2, TheDemoFolderHoldsTheLayoutAndRoutesTheProgramMakes) {
    testsupport::ScratchDir dir;
    std::filesystem::create_directories(dir.file("demo"));
    resetConfigState();
    setScaleParameters('3', '5', 0);
    gCanvasSize = {800, 480};
    buildDemoLayout2();
    gLayoutFileName = kLayout;
    ASSERT_EQ(saveLayoutFile(), 1);
    expectShipped(dir, "vestreldemo2.vtl");

    ASSERT_EQ(loadLayoutFile(), 1);
    makeDemoRoutes();
    ASSERT_EQ(saveRouteFile(), 1);
    expectShipped(dir, "vestreldemo2.trj");
    clearRoutes();
}

TEST(DemoLayout2, TheDemoFolderHoldsTheTrainsTheDialogsMake) {
    RunningProgram program;
    startOnDemoLayout(program, {"vestreldemo2.vtl", "vestreldemo2.trj"});
    ASSERT_EQ(gLayoutFileName, kLayout);
    ASSERT_EQ(toggleControlPostSession(13), 1);
    if (frmBoodschap) frmBoodschap->close();
    ASSERT_EQ(gLocCount, 0);
    gCurTrain = nullptr;
    frmTrein->show();
    for (const DemoTrain& t : kTrains) {
        LocoRec* loco = addLocoInDialog(t.number, t.name, t.kind, t.decoder);
        ASSERT_TRUE(loco) << t.number;
        ASSERT_EQ(placeLocoOnBlock(loco, blockNumbered(t.block)), 1) << t.number;
        ASSERT_EQ(putLocoOnTrack(loco), 1) << t.number;
        if (t.wagons) {
            gCurTrain = loco;
            frmTrein->showNoneOrCurrent();
            for (int i = 0; i < t.wagons; ++i) addWagonBehind();
        }
    }
    frmTrein->close();
    ASSERT_EQ(saveLocoFile(), 1);
    expectShipped(program.dir, "vestreldemo2.loc");
}

// The shipped files as the demos find them: numbers used once, every block reachable both ways, both
// routes whole, the step programs' contacts on route 2, seven trains on their blocks ready to leave.
TEST(DemoLayout2Shipped, LoadsWithItsRoutesAndSevenTrainsReady) {
    RunningProgram program;
    showDialogMessage("", 3);
    startOnDemoLayout(program, {"vestreldemo2.vtl", "vestreldemo2.trj", "vestreldemo2.loc"});
    ASSERT_EQ(gLayoutFileName, kLayout);
    EXPECT_EQ(gCanvasSize.width, 800);

    // Numbers: accessories once each, block contacts once each and apart from the step programs' 1..3.
    std::map<int, int> accessories;
    for (const TurnoutRec* t : gTurnouts) ++accessories[t->number];
    for (const SignalRec* s : gSignals) ++accessories[s->number];
    std::set<int> contacts;
    for (const BlockRec* b : gBlocks) {
        EXPECT_FALSE(b->state & 0x40) << "block " << b->number << " has a section without contact";
        for (int s = 1; s <= b->sections; ++s) {
            const int input = b->sectionInputs[s];
            if (!input) continue;
            EXPECT_GT(input, 3) << b->number;
            EXPECT_TRUE(contacts.insert(input).second) << "contact " << input << " twice";
        }
    }
    for (const auto& [number, uses] : accessories) EXPECT_EQ(uses, 1) << "accessory " << number;

    // Every block can be left at both ends (an oval through two stations, no dead end).
    for (const BlockRec* b : gBlocks) {
        int leaving[2] = {0, 0};
        for (const ConnectionRec* c : gConnections)
            if (c->from == b) ++leaving[c->direction == 'H'];
        EXPECT_GT(leaving[0], 0) << "block " << b->number << " 'T'";
        EXPECT_GT(leaving[1], 0) << "block " << b->number << " 'H'";
    }

    // Both routes, line by line, each line leading to the next line's block and the last to the first.
    EXPECT_EQ(lastDialogMessage(), "");
    ASSERT_EQ(gRouteCount, 2);
    const std::pair<const char*, const std::vector<int>*> routes[2] = {{kGoodsRouteName, &kGoodsRoute},
                                                                        {kThroughRouteName, &kThroughRoute}};
    for (int r = 0; r < 2; ++r) {
        const RouteRec* route = gRoutes[r];
        const std::vector<int>& blocks = *routes[r].second;
        EXPECT_STREQ(route->name, routes[r].first);
        ASSERT_EQ(route->endLine - route->firstLine, static_cast<int>(blocks.size()));
        for (size_t k = 0; k < blocks.size(); ++k) {
            const ConnectionRec* c = routeLineConnection(gRouteLines[route->firstLine + static_cast<int>(k)]);
            ASSERT_TRUE(c) << r << " " << k;
            EXPECT_EQ(c->from->number, blocks[k]);
            EXPECT_EQ(c->to->number, blocks[(k + 1) % blocks.size()]);
        }
    }

    // The step programs' contacts lie on route 2's track.
    ASSERT_EQ(gInputCount, 3);
    for (const auto& c : kContacts) {
        const InputRec* input = nullptr;
        for (const InputRec* i : gInputs)
            if (i->number == c.number) input = i;
        ASSERT_TRUE(input) << c.number;
        EXPECT_EQ(input->anchor, c.at);
        const BlockRec* b = blockNumbered(c.block);
        EXPECT_TRUE(b->points[0].x == c.at.x || b->points[0].y == c.at.y) << c.number;
    }

    frmSchema->FormResize();
    for (int i = 0; i < 10; ++i) frmSchema->Timer1Timer();
    frmSchema->grab().save(QString::fromStdString(testsupport::artefactPath("demo_layout2_window.png")));

    // The session finds the seven trains on their blocks, post 6 with its wagons where both routes pass,
    // each allowed on every block of the routes.
    ASSERT_EQ(toggleControlPostSession(13), 1);
    showDialogMessage("", 3);  // the session's own notice
    ASSERT_EQ(gLocsOnTrackCount, 7);
    for (int post = 0; post < 7; ++post) {
        const LocoRec* loco = gLocsOnTrack[post];
        EXPECT_EQ(loco->number, kTrains[post].number) << post;
        ASSERT_TRUE(loco->run.head.block) << post;
        EXPECT_EQ(loco->run.head.block->number, kTrains[post].block) << post;
        for (int block : kGoodsRoute) EXPECT_NE(blockNumbered(block)->allowedTrains & loco->kind, 0);
    }
    // Each can leave the shunting mode where it stands: its leading end is in the block's end section.
    for (int post = 0; post < 7; ++post) {
        controlPostCommand(302, post);
        EXPECT_EQ(gLocsOnTrack[post]->mode, kModeManual) << post;
    }
    EXPECT_EQ(lastDialogMessage(), "");
    const LocoRec* goods = gLocsOnTrack[6];
    EXPECT_EQ(chainWagons(goods->frontChain).size() + chainWagons(goods->rearChain).size(), 2u);
    // No train but post 6's stands on a block of either route.
    for (int post = 0; post < 6; ++post)
        for (const std::vector<int>* route : {&kGoodsRoute, &kThroughRoute})
            for (int block : *route) EXPECT_NE(gLocsOnTrack[post]->run.head.block->number, block) << post;
    for (int i = 0; i < 10; ++i) frmSchema->Timer1Timer();
    frmSchema->grab().save(QString::fromStdString(testsupport::artefactPath("demo_layout2_trains.png")));
    toggleControlPostSession(13);
}

// The goods train of post 6 runs either route from where it stands: route 1 through the loading and
// the unloading track, route 2 through blocks 19 and 27 and over the three step-program contacts.
TEST(DemoLayout2Shipped, TheGoodsTrainRunsEitherRoute) {
    const struct {
        int route;
        std::vector<int> passes;
        std::vector<int> contacts;
    } rows[] = {{0, {21, 28}, {}}, {1, {19, 27}, {1, 2, 3}}};
    for (const auto& row : rows) {
        DemoPlayer player;
        gLayoutFileName = kLayout;
        gLocoFileName = kLocos;
        ASSERT_EQ(loadLayoutFile(), 1);
        ASSERT_EQ(toggleControlPostSession(13), 1);
        showDialogMessage("", 3);
        LocoRec* goods = gLocsOnTrack[6];
        goods->route = gRoutes[row.route];
        for (int i = 0; i < 3; ++i) controlPostCommand(302, 6);
        ASSERT_EQ(goods->mode, kModeRoute) << row.route;
        controlPostCommand(301, 6);
        std::set<int> visited;
        std::map<int, double> nearest;  // contact number: the head's nearest approach, pixels
        auto done = [&] {
            for (int block : row.passes)
                if (!visited.count(block)) return false;
            for (int contact : row.contacts)
                if (!nearest.count(contact) || nearest[contact] >= 2.0) return false;
            return true;
        };
        for (int tick = 0; tick < 20000 && !done(); ++tick) {
            player.tick();
            if (goods->run.head.block) visited.insert(goods->run.head.block->number);
            for (const InputRec* i : gInputs) {
                const double d = std::hypot(goods->run.head.x - i->anchor.x, goods->run.head.y - i->anchor.y);
                if (!nearest.count(i->number) || d < nearest[i->number]) nearest[i->number] = d;
            }
        }
        EXPECT_EQ(lastDialogMessage(), "") << row.route;
        for (int block : row.passes) EXPECT_TRUE(visited.count(block)) << "route " << row.route + 1 << " block " << block;
        for (int contact : row.contacts) EXPECT_LT(nearest[contact], 2.0) << "contact " << contact;
        toggleControlPostSession(13);
    }
}

}  // namespace
