// Demos 2 (a route made in the editor) and 5 (seven locomotives, one with a route) played on the real
// main window with the shipped demo data, and a demo layout that cannot be loaded.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "demo_player.h"
#include "layout/files/layout_file.h"
#include "layout/model/layout_model.h"
#include "operation/dialogs/untTraject.h"
#include "operation/model/route_editor_state.h"
#include "operation/model/route_file.h"
#include "operation/model/train_model.h"
#include "shell/config/messages.h"
#include "shell/dialogs/untDemo.h"
#include "shell/main/demo.h"
#include "shell/main/session.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"
#include "shell/window/untSchema.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using testsupport::readBytes;

const char* const kDemoFiles[] = {"vestreldemo2.vtl", "vestreldemo2.loc", "vestreldemo2.trj", "vestreldemo_n.txt"};

// The explanation lines of chapter n of the demo text: the lines after its title up to the next "#".
int chapterLines(const std::string& path, int n) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    int chapter = 0;
    int lines = -1;  // the title is not an explanation
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] == '#') {
            ++chapter;
            continue;
        }
        if (chapter == n) ++lines;
    }
    return lines;
}

std::vector<std::vector<uint8_t>> demoFiles(const DemoPlayer& player) {
    std::vector<std::vector<uint8_t>> files;
    for (const char* name : kDemoFiles) files.push_back(readBytes(player.program.dir.file(std::string("demo/") + name)));
    return files;
}

// Presses "VERDER" until the demo reaches step (it performs the steps before it), at most limit times.
void pressUntil(DemoPlayer& player, int step, int limit = 40) {
    for (int i = 0; i < limit && gDemoStep != step && gDemoStep > 0; ++i) player.pressVerder();
    ASSERT_EQ(gDemoStep, step);
    ASSERT_EQ(lastDialogMessage(), "");
}

int blockOfLine(int line) {
    const ConnectionRec* c = routeLineConnection(gRouteLines[line]);
    return c && c->from ? c->from->number : 0;
}

TEST(DemoRoutes, EachPlaysToItsEndAndLeavesEverythingAsItWas) {
    for (int demo : {2, 5}) {
        DemoPlayer player;
        const auto before = demoFiles(player);
        const int shortTrain = gSettings.edtLengteKorte;
        EXPECT_EQ(player.playToEnd(demo), "") << demo;
        // The first step replaces the intro at once; then one line per advance: exactly the chapter's lines.
        EXPECT_EQ(player.linesShown, chapterLines(player.program.dir.file("demo/vestreldemo_n.txt"), demo)) << demo;
        EXPECT_EQ(gDemoStep, 0);
        EXPECT_TRUE(frmSchema->grpCmdpost->isEnabled());
        EXPECT_EQ(gDirtyFlags, 0);
        EXPECT_EQ(gLocoDataModified, 0);
        EXPECT_FALSE(sessionRunning()) << demo;
        EXPECT_FALSE(frmDemo->isVisible());
        EXPECT_FALSE(frmTraject->isVisible()) << demo;
        EXPECT_EQ(gRouteCount, 2) << demo;  // the route the demo made in the editor is not kept
        EXPECT_EQ(gSettings.edtLengteKorte, shortTrain);
        EXPECT_EQ(demoFiles(player), before) << demo;
    }
}

TEST(DemoRoutes, TheRouteDemoClicksTheLoadingAndUnloadingTrip) {
    DemoPlayer player;
    showDialogMessage("", 3);
    runDemoStep(2);
    pressUntil(player, 57);
    ASSERT_TRUE(frmTraject->isVisible());
    EXPECT_EQ(frmTraject->windowTitle(), "Toevoegen nieuw traject (dienstregeling)");
    EXPECT_EQ(frmTraject->cboTrajectNaam->currentText(), "LadenLossen");
    ASSERT_TRUE(gCurRoute);
    std::vector<int> blocks;
    for (int line = gCurRoute->firstLine; line < gCurRoute->endLine; ++line) blocks.push_back(blockOfLine(line));
    EXPECT_EQ(blocks, (std::vector<int>{21, 24, 23, 28, 22, 20, 21}));
    EXPECT_EQ(frmTraject->strgrdTraject->rowCount(), 7 + 1);  // the lines and the next line's row
    // "STOP" here (the last step closes the editor itself): the route editor goes with the demo, and
    // the route with it.
    clickButton(frmDemo, "btnStop");
    EXPECT_EQ(gDemoStep, 0);
    EXPECT_FALSE(frmTraject->isVisible());
    EXPECT_EQ(gRouteCount, 2);
    EXPECT_EQ(gActiveDialog, 0);
}

TEST(DemoRoutes, SevenTrainsRunUntilTheEmergencyStop) {
    DemoPlayer player;
    showDialogMessage("", 3);
    runDemoStep(5);
    ASSERT_TRUE(sessionRunning());
    EXPECT_EQ(gSettings.edtLengteKorte, 70);
    pressUntil(player, 212);  // everything but the emergency stop done
    ASSERT_EQ(gLocsOnTrackCount, 7);
    for (int post = 0; post < 6; ++post) {
        EXPECT_EQ(gLocsOnTrack[post]->mode, kModeAuto) << post;
        EXPECT_TRUE(gLocsOnTrack[post]->running) << post;
    }
    const LocoRec* goods = gLocsOnTrack[6];
    EXPECT_EQ(goods->route, gRoutes[0]);
    EXPECT_EQ(goods->mode, kModeRoute);
    EXPECT_TRUE(goods->running);
    EXPECT_FALSE(frmTraject->isVisible());
    // The trains run a while on the layout without a word, the goods train on its route.
    const BlockRec* start = goods->run.head.block;
    for (int i = 0; i < 3000; ++i) player.tick();
    EXPECT_EQ(lastDialogMessage(), "");
    EXPECT_NE(goods->run.head.block, start);
    player.pressVerder();
    for (const LocoRec* l : gLocsOnTrack) {  // every train brought to a stop
        EXPECT_FALSE(l->running) << l->number;
        EXPECT_EQ(l->currentStep, 0) << l->number;
    }
    EXPECT_EQ(gDemoStep, 213);
    player.pressVerder();
    EXPECT_EQ(gDemoStep, 0);
    EXPECT_FALSE(sessionRunning());
}

// A demo whose layout is missing says so, and the user's own layout stays: on screen, in the names and in
// vestrel.cfg.
TEST(DemoRoutes, AMissingDemoLayoutGivesTheUsersLayoutBack) {
    const struct {
        int demo;
        const char* layout;
    } rows[] = {{2, "vestreldemo2.vtl"}, {5, "vestreldemo2.vtl"}, {3, "vestreldemo1.vtl"}};
    for (const auto& row : rows) {
        DemoPlayer player;
        const fs::path data = testsupport::fixturePath("../../data");
        for (const char* name : {"voorbeeld.vtl", "voorbeeld.loc", "voorbeeld.trj"})
            fs::copy_file(data / name, player.program.dir.file(name));
        gLayoutFileName = "voorbeeld.vtl";
        ASSERT_EQ(loadLayoutFile(), 1);
        const int blocks = gBlockCount;
        fs::remove(player.program.dir.file(std::string("demo/") + row.layout));
        showDialogMessage("", 3);
        runDemoStep(row.demo);
        EXPECT_EQ(lastDialogMessage(), std::string("Kan bestand 'demo\\") + row.layout + "' niet openen !");
        EXPECT_EQ(gDemoStep, 0);
        EXPECT_FALSE(frmDemo->isVisible());
        EXPECT_FALSE(sessionRunning());
        EXPECT_TRUE(frmSchema->grpCmdpost->isEnabled());
        EXPECT_EQ(gLayoutFileName, "voorbeeld.vtl") << row.demo;
        EXPECT_EQ(gLocoFileName, "voorbeeld.loc") << row.demo;
        EXPECT_EQ(gBlockCount, blocks) << row.demo;
        EXPECT_EQ(gRouteCount, 1) << row.demo;
        const std::vector<uint8_t> cfg = readBytes(player.program.dir.file("vestrel.cfg"));
        const std::string text(cfg.begin(), cfg.end());
        EXPECT_NE(text.find("voorbeeld.vtl"), std::string::npos) << row.demo;
        EXPECT_EQ(text.find("vestreldemo"), std::string::npos) << row.demo;
    }
}

}  // namespace
