// The demo with track control on the real main window: a command station on a pseudo-terminal as
// COM1, the demo playing the occupancy detectors of the one train it lets run, and its clean end with
// the user's settings, with and without a command station to talk to.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <filesystem>
#include <string>
#include <vector>

#include "demo_player.h"
#include "layout/files/layout_file.h"
#include "layout/layout_builder.h"
#include "layout/model/layout_model.h"
#include "link/buffers/feedback.h"
#include "link/link_test_support.h"
#include "link/port/fake_command_station.h"
#include "link/port/link_port.h"
#include "operation/control/control_post.h"
#include "operation/model/train_model.h"
#include "operation/session_trains.h"
#include "platform/text_codec.h"
#include "shell/config/config_file.h"
#include "shell/config/messages.h"
#include "shell/dialogs/untDemo.h"
#include "shell/dialogs/untInstellingen.h"
#include "shell/main/demo.h"
#include "shell/main/demo_steps.h"
#include "shell/main/session.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"
#include "shell/model/settings.h"
#include "shell/window/untSchema.h"

namespace {

namespace fs = std::filesystem;

// The settings the demo changes for its run.
struct RunSettings {
    int feedbackShown, positionCheck, wrongWay;
    bool operator==(const RunSettings&) const = default;
};
RunSettings runSettings() {
    return {gSettings.chboVisuTerugmeld, gSettings.chboPositiecontrole, gSettings.chboVerkeerdeWeg};
}
// What vestrel.cfg holds, read as the program reads it at its start.
RunSettings runSettingsOnDisk() {
    const Settings kept = gSettings;
    const std::string layout = gLayoutFileName, loco = gLocoFileName;
    gLayoutFileName.clear();
    syncConfigFile();
    const RunSettings onDisk = runSettings();
    gSettings = kept;
    gLayoutFileName = layout;
    gLocoFileName = loco;
    return onDisk;
}

// Four blocks of four sections in a clockwise square, each ending where the next begins; sections of
// kinds 1 (begin), 4 (station of a short train), 5 and 6 (stop) toward the 'H' end, on contacts
// 4 * (block - 1) + section.
void buildLoop() {
    const DiagramPoint corners[] = {{100, 100}, {400, 100}, {400, 400}, {100, 400}, {100, 100}};
    LayoutBuilder b;
    for (int n = 1; n <= 4; ++n) {
        const DiagramPoint p = corners[n - 1], q = corners[n];
        auto at = [&](int i) { return DiagramPoint{p.x + (q.x - p.x) * i / 4, p.y + (q.y - p.y) * i / 4}; };
        const int c = 4 * (n - 1);
        b.block(n, {at(0), at(1), at(2), at(3), at(4)}).kinds({1, 4, 5, 6}).inputs({c + 1, c + 2, c + 3, c + 4});
    }
    for (int n = 1; n <= 4; ++n) b.connection(n, n % 4 + 1, 'H');
    b.measureBlocks();
}

// A passenger locomotive standing in "Rangeer" on the last section of block `block` of the loop, heading 'H'.
Image standingLoco(int number, int block) {
    const DiagramPoint p = gBlocks[block - 1]->points[3], q = gBlocks[block - 1]->points[4];
    Pos pos;
    pos.dx = static_cast<float>((q.x > p.x) - (q.x < p.x));
    pos.dy = static_cast<float>((q.y > p.y) - (q.y < p.y));
    pos.x = static_cast<float>(q.x) - 30 * pos.dx;
    pos.y = static_cast<float>(q.y) - 30 * pos.dy;
    pos.ix = static_cast<int>(pos.x);
    pos.iy = static_cast<int>(pos.y);
    pos.a = 3;
    pos.b = 4;
    pos.block = block;
    Image im = locoImage(number);
    putPosition(im, LocoAt::head, pos);
    im.u8(LocoAt::mode, kModeShunting).u8(LocoAt::role, 6).u8(LocoAt::kind, 1).i16(LocoAt::maxStep, 28);
    return im;
}

// The loop as demo\vestreldemo1.vtl with three locomotives on blocks 1, 3 and 4 in its .loc.
void writeLoopLayout(const testsupport::ScratchDir& dir) {
    buildLoop();
    gLayoutFileName = "demo\\vestreldemo1.vtl";
    ASSERT_EQ(saveLayoutFile(), 1);
    const int blocks[] = {1, 3, 4};
    FileBytes f;
    f.header('3').i32(3);
    for (int k = 0; k < 3; ++k) f.add(standingLoco(3 + 2 * k, blocks[k]));
    for (int k = 0; k < 3; ++k) {
        Image table(127);
        for (int j = 0; j < 127; ++j) table.u8(j, j);
        f.add(table);
    }
    f.i32(0).i32(0);
    appendRunState(f, [&](int b) { return b == 1 ? 1 : b == 3 ? 2 : b == 4 ? 3 : 0; });
    testsupport::writeBytes(dir.file("demo/vestreldemo1.loc"), f.b);
    gLayoutFileName = "eigen.vtl";
    gDirtyFlags = 0;
}

class DemoTrack : public ::testing::Test {
protected:
    void SetUp() override {
        linktest::commandStationSettings(true);
        // The user's own choices, all unlike what the demo runs with, on disk.
        gSettings.chboVisuTerugmeld = 0;
        gSettings.chboPositiecontrole = 1;
        gSettings.chboVerkeerdeWeg = 1;
        syncConfigFile();
        before = runSettings();
    }
    void TearDown() override { linktest::closeLink(); }

    // Presses "VERDER" until the demo is at that step (never past a message).
    void pressUntil(int step) {
        for (int i = 0; i < 20 && gDemoStep != step && gDemoStep > 0 && lastDialogMessage().empty(); ++i)
            player.pressVerder();
    }
    // The step that waits out the train's pause before the next reports, with "VERDER" hidden.
    void expectPause() {
        ASSERT_EQ(gDemoStep, -263);
        EXPECT_EQ(frmDemo->lblTekst->text(), "Wachten tot pauzetijd afgelopen is.");
        EXPECT_FALSE(frmDemo->btnVerder->isVisible());
        ASSERT_TRUE(player.tickWhileWaiting());
        EXPECT_TRUE(frmDemo->btnVerder->isVisible());
    }
    // Plays the reports of that many blocks the train enters: for each its begin, short-train station
    // and stop section, each text naming the block, each contact on when "VERDER" has been pressed and
    // evaluated as the train's last contact role; then the pause. Returns the blocks in order.
    std::vector<int> playReports(int blocks) {
        static const char* const kTexts[] = {"'beginsectie richting heen'", "'station/vrijgave korte trein'",
                                             "'eindsectie richting heen'"};
        static const int kKinds[] = {1, 4, 6};
        std::vector<int> entered;
        LocoRec* train = gLocsOnTrack[0];
        for (int n = 0; n < blocks && !HasFatalFailure(); ++n) {
            BlockRec* b = train->connection ? train->connection->to : nullptr;
            if (!b) {
                ADD_FAILURE() << "the train has no way on";
                break;
            }
            entered.push_back(b->number);
            SCOPED_TRACE("block " + std::to_string(b->number));
            BlockRec* behind = train->connection->from;
            for (int r = 0; r < 3; ++r) {
                EXPECT_EQ(frmDemo->lblTekst->text().toStdString(),
                          "Bezetmelding activeren van de sectie " + std::string(kTexts[r]) + " van blok " +
                              std::to_string(b->number) + ".");
                int s = 1;
                while (s < b->sections && b->sectionKinds[s - 1] != kKinds[r]) ++s;
                const int contact = b->sectionInputs[s];
                EXPECT_FALSE(getContactBit(contact));
                player.pressVerder();
                EXPECT_TRUE(getContactBit(contact));
                for (int i = 0; i < 3; ++i) player.tick();
                if (kKinds[r] != 4 || train->trainLength <= gShortTrainUnits) {
                    EXPECT_EQ(train->contactRole, kKinds[r]);
                }
                if (kKinds[r] != 1) {
                    EXPECT_EQ(train->run.head.block, b) << "the contact puts the train there";
                }
                for (int k = 1; k <= behind->sections; ++k)
                    EXPECT_FALSE(getContactBit(behind->sectionInputs[k])) << "section " << k << " behind";
            }
            expectPause();
        }
        return entered;
    }
    void expectCleanEnd() {
        EXPECT_EQ(gDemoStep, 0);
        EXPECT_FALSE(frmDemo->isVisible());
        EXPECT_FALSE(sessionRunning());
        EXPECT_EQ(gLinkOpen, 0);
        EXPECT_EQ(gNoFeedbackPoll, 0);
        EXPECT_FALSE(frmInstellingen->isVisible());
        EXPECT_TRUE(frmSchema->grpCmdpost->isEnabled());
        EXPECT_EQ(gDirtyFlags, 0);
        EXPECT_EQ(runSettings(), before);
        EXPECT_EQ(runSettingsOnDisk(), before);
    }

    vestrel::test::FakeCommandStation station{true};
    DemoPlayer player;
    RunSettings before{};
};

TEST_F(DemoTrack, PlaysTheDetectorsOfTheTrainRoundTheLoopUntilStopped) {
    station.pty().setAsComPort(1);
    writeLoopLayout(player.program.dir);
    showDialogMessage("", 3);
    runDemoStep(6);
    ASSERT_EQ(gDemoStep, 252) << "the first step runs at once";
    EXPECT_TRUE(frmInstellingen->isVisible());
    EXPECT_EQ(frmInstellingen->pctInstellingen->currentIndex(), 1);
    player.pressVerder();
    EXPECT_FALSE(frmInstellingen->chboVisuTerugmeld->isChecked());
    player.pressVerder();
    EXPECT_TRUE(frmInstellingen->chboVisuTerugmeld->isChecked());
    pressUntil(257);
    ASSERT_TRUE(lastDialogMessage().empty()) << lastDialogMessage();
    ASSERT_EQ(gRunWithTrack, 1);
    EXPECT_EQ(gLinkOpen, 1);
    EXPECT_EQ(gLocsOnTrackCount, 1) << "two locomotives were taken off the track";
    LocoRec* train = gLocsOnTrack[0];
    ASSERT_EQ(train->run.head.block, blockNumbered(1));
    EXPECT_EQ(gNoFeedbackPoll, 1);
    EXPECT_EQ(runSettings(), (RunSettings{1, 0, 0}));
    EXPECT_TRUE(getContactBit(4)) << "the section the train stands on reports occupied";
    pressUntil(259);
    EXPECT_EQ(train->mode, kModeAuto);
    player.pressVerder();
    EXPECT_TRUE(train->running);
    expectPause();

    // Round the loop and into block 2 again.
    EXPECT_EQ(playReports(5), (std::vector<int>{2, 3, 4, 1, 2}));
    EXPECT_EQ(station.count(0xCB), 0) << "the demo's contacts are never polled from the command station";
    EXPECT_TRUE(lastDialogMessage().empty()) << lastDialogMessage();

    frmDemo->btnStop->click();
    expectCleanEnd();
    EXPECT_TRUE(vestrel::serialPortFree("COM1"));
}

// The explanation lines of the demo's chapter in the shipped text, decoded.
std::vector<QString> chapterLines() {
    const std::vector<uint8_t> bytes = testsupport::readBytes(testsupport::fixturePath("../../data/demo/vestreldemo_n.txt"));
    std::vector<QString> lines;
    int chapter = 0;
    size_t start = 0;
    for (size_t end; (end = std::string(bytes.begin(), bytes.end()).find("\r\n", start)) != std::string::npos; start = end + 2) {
        const std::string line(bytes.begin() + start, bytes.begin() + end);
        if (!line.empty() && line[0] == '#') ++chapter;
        else if (chapter == 6) lines.push_back(vestrel::fromCp1252(line));
    }
    if (!lines.empty()) lines.erase(lines.begin());  // the title
    return lines;
}

// Until the session runs a line of the chapter for each step; when the train finds no way on, after a
// while, its last line, and "VERDER" ends the demo.
TEST_F(DemoTrack, ATrainWithNoWayOnEndsTheDemoWithTheChaptersLastLine) {
    station.pty().setAsComPort(1);
    writeLoopLayout(player.program.dir);
    const std::vector<QString> lines = chapterLines();
    ASSERT_EQ(lines.size(), 9u);
    showDialogMessage("", 3);
    runDemoStep(6);
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(frmDemo->lblTekst->text(), lines[k]) << "step " << 251 + k;
        if (k < 7) player.pressVerder();
    }
    ASSERT_EQ(gDemoStep, 259);
    blockNumbered(2)->allowedTrains = 0;  // no train may go there
    player.pressVerder();
    ASSERT_EQ(gDemoStep, -263);
    ASSERT_TRUE(player.tickWhileWaiting());
    EXPECT_EQ(frmDemo->lblTekst->text(), lines[8]);
    EXPECT_TRUE(frmDemo->btnVerder->isVisible());
    player.pressVerder();
    EXPECT_EQ(lastDialogMessage(), "");
    expectCleanEnd();
}

// The shipped layout: the train of post 0 runs from block to block along its connections.
TEST_F(DemoTrack, PlaysTheShippedLayout) {
    const fs::path shipped = testsupport::fixturePath("../../data/demo");
    if (!fs::exists(shipped / "vestreldemo1.vtl")) GTEST_SKIP() << "no shipped demo layout";
    station.pty().setAsComPort(1);
    showDialogMessage("", 3);
    runDemoStep(6);
    pressUntil(259);
    player.pressVerder();
    expectPause();
    const std::vector<int> blocks = playReports(6);
    EXPECT_EQ(blocks.size(), 6u);
    for (size_t i = 1; i < blocks.size(); ++i) {
        bool connected = false;
        for (const ConnectionRec* c : gConnections) connected = connected || (c->from->number == blocks[i - 1] && c->to->number == blocks[i]);
        EXPECT_TRUE(connected) << blocks[i - 1] << " to " << blocks[i];
    }
    EXPECT_TRUE(lastDialogMessage().empty()) << lastDialogMessage();
    frmDemo->btnStop->click();
    expectCleanEnd();
    for (const char* name : {"vestreldemo1.vtl", "vestreldemo1.loc"})
        EXPECT_EQ(testsupport::readBytes(player.program.dir.file(std::string("demo/") + name)),
                  testsupport::readBytes((shipped / name).string()))
            << name << " unchanged";
}

// Stopped at any point, with the settings dialog open, the session running or a step waiting, the
// demo leaves nothing of its own behind.
TEST_F(DemoTrack, StopAtAnyStepEndsCleanly) {
    station.pty().setAsComPort(1);
    writeLoopLayout(player.program.dir);
    for (int stopAt : {252, 255, 257, 261, -263}) {
        SCOPED_TRACE("stop at " + std::to_string(stopAt));
        showDialogMessage("", 3);
        runDemoStep(6);
        for (int i = 0; i < 20 && gDemoStep != stopAt && gDemoStep != 0 && lastDialogMessage().empty(); ++i) {
            if (gDemoStep < 0) player.tickWhileWaiting();
            else player.pressVerder();
        }
        ASSERT_EQ(gDemoStep, stopAt) << lastDialogMessage();
        frmDemo->btnStop->click();
        expectCleanEnd();
    }
}

// No device behind COM1, or one that is no serial port: the link says so and the demo ends before any
// train runs; the demo can be started again.
TEST_F(DemoTrack, WithoutACommandStationTheLinksMessageEndsTheDemo) {
    writeLoopLayout(player.program.dir);
    const struct {
        const char* device;
        const char* message;
    } cases[] = {{"/nonexistent/tty1", "Ingestelde COM-poort niet beschikbaar !"}, {"/dev/null", "Ingestelde COM-poort niet in orde !"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        ::setenv("VESTREL_COM1", c.device, 1);
        showDialogMessage("", 3);
        runDemoStep(6);
        pressUntil(257);
        EXPECT_EQ(lastDialogMessage(), c.message);
        expectCleanEnd();
        EXPECT_EQ(gRunWithTrack, 0);
    }
}

// An input follows what stands on it: on under a vehicle, off where none stands; a contact that
// already agrees is left alone.
TEST(DemoContact, AnInputFollowsTheVehiclesOverIt) {
    RunningProgram program;
    program.start();
    frmSchema->Timer1->stop();
    LayoutBuilder().block(1, {{100, 100}, {200, 100}, {300, 100}}).input(1, {150, 100}).input(2, {250, 200});
    gLocoFileName = "test.loc";
    writeSessionLocoFile("test.loc", {{3, 150, 100, 1}});
    gDirtyFlags = 0;
    ASSERT_EQ(toggleControlPostSession(13), 1);
    const struct {
        int input;
        int state;  // the input's state and its contact before
        int after;
    } cases[] = {{1, 0, 1}, {1, 1, 1}, {2, 1, 0}, {2, 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE("input " + std::to_string(c.input) + " state " + std::to_string(c.state));
        InputRec* in = gInputs[c.input - 1];
        in->state = static_cast<uint8_t>(c.state);
        setContactBit(c.input, c.state);
        simulateDemoContact(in);
        EXPECT_EQ(getContactBit(c.input) != 0, c.after != 0);
        EXPECT_EQ(gMousePoint.x, in->anchor.x);
        EXPECT_EQ(gMousePoint.y, in->anchor.y);
    }
    toggleControlPostSession(13);
}

}  // namespace
