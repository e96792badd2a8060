// Demos 3 and 4 played on the real main window with the shipped demo data, as a user plays them.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QTabWidget>

#include <functional>
#include <string>
#include <vector>

#include "demo_player.h"
#include "layout/dialogs/untSektie.h"
#include "layout/editor/editor_state.h"
#include "layout/model/display_settings.h"
#include "layout/layout_builder.h"
#include "layout/model/layout_model.h"
#include "operation/dialogs/untLok.h"
#include "operation/dialogs/untTrein.h"
#include "operation/dialogs/untWagons.h"
#include "operation/engine/train_placement.h"
#include "operation/model/train_model.h"
#include "shell/config/messages.h"
#include "shell/dialogs/untDemo.h"
#include "shell/dialogs/untInstellingen.h"
#include "shell/main/demo.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"
#include "shell/shell_test_support.h"
#include "shell/window/untSchema.h"
#include "test_support.h"

namespace {

using testsupport::readBytes;

// The explanation lines of demo n in the shipped text: those between its title and the next chapter.
int chapterLines(int n) {
    const std::vector<uint8_t> bytes = readBytes(testsupport::fixturePath("../../data/demo/vestreldemo_n.txt"));
    const std::string text(bytes.begin(), bytes.end());
    int chapter = 0, lines = 0;
    bool title = false;
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find("\r\n", at);
        const std::string line = text.substr(at, end - at);
        at = end == std::string::npos ? text.size() : end + 2;
        if (!line.empty() && line[0] == '#') {
            ++chapter;
            title = true;
        } else if (title) {
            title = false;
        } else if (chapter == n) {
            ++lines;
        }
    }
    return lines;
}

// The names of the dialogs the demos open that are still shown.
std::string openDialogs() {
    std::string open;
    for (QWidget* w : std::initializer_list<QWidget*>{frmTrein, frmWagons, frmLok, frmSektie, frmInstellingen})
        if (w->isVisible()) open += w->objectName().toStdString() + " ";
    return open;
}

// Played at once, at a reader's pace (three seconds a line) and by a slow reader (thirty seconds), the
// trains running on meanwhile.
TEST(DemoTrains, EachDemoPlaysToItsEndAndLeavesNothingBehind) {
    struct Row {
        int demo, readingTicks;
    };
    for (const Row row : {Row{3, 0}, Row{3, 100}, Row{3, 1000}, Row{4, 0}, Row{4, 100}, Row{4, 1000}}) {
        SCOPED_TRACE("demo " + std::to_string(row.demo) + ", reading ticks " + std::to_string(row.readingTicks));
        DemoPlayer player;
        player.readingTicks = row.readingTicks;
        const char* files[] = {"demo/vestreldemo1.vtl", "demo/vestreldemo1.loc"};
        std::vector<std::vector<uint8_t>> before;
        for (const char* f : files) before.push_back(readBytes(player.program.dir.file(f)));
        const int16_t shortTrain = gSettings.edtLengteKorte;
        const uint8_t connections = gShowConnections;

        EXPECT_EQ(player.playToEnd(row.demo), "");
        EXPECT_EQ(player.linesShown, chapterLines(row.demo));
        EXPECT_EQ(gDemoStep, 0);
        EXPECT_TRUE(frmSchema->grpCmdpost->isEnabled());
        EXPECT_EQ(gDirtyFlags, 0);
        EXPECT_EQ(gLocoDataModified, 0);
        EXPECT_FALSE(sessionRunning());
        EXPECT_EQ(openDialogs(), "");
        EXPECT_EQ(gSettings.edtLengteKorte, shortTrain);  // the demo's 120 cm and connections shown are undone
        EXPECT_EQ(gShowConnections, connections);
        for (size_t i = 0; i < std::size(files); ++i)
            EXPECT_EQ(readBytes(player.program.dir.file(files[i])), before[i]) << files[i];
    }
}

// Where demo 3's waiting steps wait for the head of its train (the front of the first wagon it pushes,
// else the locomotive): block and section, and whether the train must stand.
struct Place {
    int step, block, section;
    bool standing = false;
};
const Place kDemo3Waits[] = {{121, 4, 1}, {122, 4, 6}, {123, 3, 1}, {124, 1, 6},
                             {125, 4, 1}, {126, 2, 1}, {127, 2, 6, true}, {130, 1, 1}};

bool headAt(const Place& p) {
    if (gLocsOnTrackCount == 0) return false;
    LocoRec* loco = gLocsOnTrack[0];
    const PositionRec& head = headSideEnd(*loco);
    const bool stands = loco->speedValue == 0 && loco->currentStep == 0;
    return head.block && head.block->number == p.block && !head.track && !head.turnout &&
           std::min(head.sectionA, head.sectionB) + 1 == p.section && (stands || !p.standing);
}

TEST(DemoTrains, TheThirdDemoGoesOnOnlyWhereItsTrainIsAwaited) {
    DemoPlayer player;
    std::vector<int> advanced;
    player.afterTick = [&](int before) {
        if (before >= 0 || gDemoStep == before) return;
        for (const Place& p : kDemo3Waits)
            if (p.step == -before) {
                EXPECT_TRUE(headAt(p)) << "step " << p.step << " went on elsewhere";
                advanced.push_back(p.step);
            }
    };
    EXPECT_EQ(player.playToEnd(3), "");
    std::vector<int> expected;
    for (const Place& p : kDemo3Waits) expected.push_back(p.step);
    EXPECT_EQ(advanced, expected);  // every wait was met in turn: the loop in "Auto", the main track after
}

TEST(DemoTrains, AWaitingStepOfTheThirdDemoKeepsWaitingWithTheHeadElsewhere) {
    DemoPlayer player;
    showDialogMessage("", 3);
    runDemoStep(3);
    while (gDemoStep > 0 && gDemoStep < 121) player.pressVerder();
    ASSERT_EQ(gDemoStep, -121);
    ASSERT_EQ(gLocsOnTrackCount, 1);
    LocoRec* loco = gLocsOnTrack[0];
    PositionRec& head = headSideEnd(*loco);
    // The next section either way, the same section of the next block, on the track after the section
    // (its block kept), and, where the train must stand, still moving.
    struct Elsewhere {
        bool nextBlock;
        int sectionShift;
        bool onTrack, moving;
    };
    const Elsewhere elsewhere[] = {{false, 1, false, false}, {false, -1, false, false}, {true, 0, false, false},
                                   {false, 0, true, false}, {false, 0, false, true}};
    for (const Place& p : kDemo3Waits) {
        for (const Elsewhere& e : elsewhere) {
            if (e.moving && !p.standing) continue;
            const int section = p.section + e.sectionShift;
            if (section < 1 || section > 6) continue;
            head.block = blockNumbered(e.nextBlock ? p.block % 4 + 1 : p.block);
            head.sectionA = section - 1;
            head.sectionB = section;
            head.track = e.onTrack ? gTracks[0] : nullptr;
            loco->speedValue = e.moving ? 10 : 0;
            gDemoStep = static_cast<int16_t>(-p.step);
            runDemoStep(0);
            EXPECT_EQ(gDemoStep, -p.step) << "block " << head.block->number << " section " << section
                                          << (e.onTrack ? " on a track" : "") << (e.moving ? " moving" : "");
        }
    }
    EXPECT_EQ(lastDialogMessage(), "");
    runDemoStep(-1);
    EXPECT_EQ(gDemoStep, 0);
}

// What a step has done, checked as soon as it has been performed.
struct Check {
    int step;
    std::function<bool()> done;
};

// Plays demo n as a user would (reading each line for a second) and checks each step of the table at
// the moment it has been performed; the steps checked, in order.
std::vector<int> playChecking(DemoPlayer& player, int n, const std::vector<Check>& checks) {
    std::vector<int> checked;
    int last = 0;
    auto check = [&] {
        if (gDemoStep == last) return;
        last = gDemoStep;
        const int performed = (gDemoStep < 0 ? -gDemoStep : gDemoStep) - 1;
        for (const Check& c : checks)
            if (c.step == performed) {
                EXPECT_TRUE(c.done()) << "step " << c.step;
                checked.push_back(c.step);
            }
    };
    player.afterTick = [&](int) { check(); };
    showDialogMessage("", 3);
    runDemoStep(n);
    check();
    for (int presses = 0; gDemoStep != 0 && presses < 100 && lastDialogMessage().empty(); ++presses) {
        if (gDemoStep < 0) {
            EXPECT_TRUE(player.tickWhileWaiting()) << "waits for ever at step " << -gDemoStep;
            if (gDemoStep < 0) break;
            continue;
        }
        for (int i = 0; i < 30 && gDemoStep > 0; ++i) player.tick();
        player.pressVerder();
        check();
    }
    player.afterTick = nullptr;
    EXPECT_EQ(lastDialogMessage(), "");
    EXPECT_EQ(gDemoStep, 0);
    return checked;
}

std::vector<int> stepsOf(const std::vector<Check>& checks) {
    std::vector<int> steps;
    for (const Check& c : checks) steps.push_back(c.step);
    return steps;
}

const LocoRec* trainOfPost(int row) { return gLocsOnTrackCount > row ? gLocsOnTrack[row] : nullptr; }

// Every locomotive on the track, at least one, satisfies `holds`.
bool allTrains(const std::function<bool(const LocoRec&)>& holds) {
    for (int row = 0; row < gLocsOnTrackCount; ++row)
        if (!holds(*gLocsOnTrack[row])) return false;
    return gLocsOnTrackCount > 0;
}

int wagonsOf(const LocoRec* l) {
    return l ? static_cast<int>(chainWagons(l->frontChain).size() + chainWagons(l->rearChain).size()) : -1;
}

TEST(DemoTrains, TheThirdDemoDoesWhatItsLinesSay) {
    DemoPlayer player;
    auto loco3 = [] { return findLocoByNumber(3); };
    auto post0 = [](const std::function<bool(const LocoRec&)>& holds) {
        const LocoRec* l = trainOfPost(0);
        return l && l->number == 3 && holds(*l);
    };
    const std::vector<Check> checks = {
        {101, [] { return gLocCount == 0 && gWagonTotal == 0; }},
        {103, [] { return frmTrein->isVisible(); }},
        {105, [&] { return loco3() != nullptr; }},
        {106, [&] { return std::string(loco3()->name) == "Demotrein"; }},
        {107, [&] { return loco3()->decoderType == 4 && loco3()->run.speedSteps == 28; }},
        {110, [&] { return wagonsOf(loco3()) == 1; }},
        {112, [&] { return wagonsOf(loco3()) == 2 && !frmWagons->isVisible(); }},
        {113, [] { return !frmTrein->isVisible() && frmLok->isVisible(); }},
        {114, [&] { return loco3()->run.head.block == blockNumbered(1); }},
        {115, [&] { return post0([](const LocoRec& l) { return l.mode == kModeShunting; }); }},
        {117, [&] { return post0([](const LocoRec& l) { return l.mode == kModeManual; }); }},
        {118, [&] { return post0([](const LocoRec& l) { return l.mode == kModeAuto; }); }},
        {119, [&] { return post0([](const LocoRec& l) { return l.running && l.targetStep > 0; }); }},
        {122, [] { return turnoutNumbered(1)->position == 'R' && frmSektie->isVisible() && gSelectedBlock == blockNumbered(2); }},
        {123, [] { return !frmSektie->isVisible(); }},
        {124, [&] { return post0([](const LocoRec& l) { return l.mode == kModeManual && l.targetStep == 14; }); }},
        {128, [] { return turnoutNumbered(2)->position == 'G'; }},
        {129, [&] { return post0([](const LocoRec& l) { return l.targetStep == 14; }); }},
        {131, [&] { return post0([](const LocoRec& l) { return l.targetStep == 0; }); }},
        {132, [&] { return post0([](const LocoRec& l) { return l.direction == 'a'; }); }},
        {133, [&] { return post0([](const LocoRec& l) { return l.direction == 'a' && l.targetStep == 14; }); }},
        {134, [&] { return post0([](const LocoRec& l) { return !l.running && l.targetStep == 0; }); }},
    };
    EXPECT_EQ(playChecking(player, 3, checks), stepsOf(checks));
}

TEST(DemoTrains, TheFourthDemoDoesWhatItsLinesSay) {
    DemoPlayer player;
    auto signalForcedRed = [] { return gSignalCount > 0 && gSignals[0]->aspect == 'S'; };
    const std::vector<Check> checks = {
        {151, [] { return gLocsOnTrackCount == 3 && allTrains([](const LocoRec& l) { return l.mode == kModeAuto && !l.running; }); }},
        {152, [] { return allTrains([](const LocoRec& l) { return l.running != 0; }); }},
        {153, [] { return frmInstellingen->isVisible() && frmInstellingen->pctInstellingen->currentIndex() == 0; }},
        {154, [] { return !frmInstellingen->isVisible(); }},
        {155, signalForcedRed},
        {156, [&] { return !signalForcedRed(); }},
        {157, [] { return allTrains([](const LocoRec& l) { return !l.running && l.targetStep == 0 && l.currentStep == 0; }); }},
    };
    EXPECT_EQ(playChecking(player, 4, checks), stepsOf(checks));
}

// "STOP" at any moment: a dialog a step opened, a train running, a step waiting.
TEST(DemoTrains, StopLeavesNoDialogSessionOrChangeBehind) {
    struct Row {
        int demo, stopAt;  // negative: while that step waits
    };
    const Row rows[] = {{3, 104}, {3, 110}, {3, 114}, {3, 116}, {3, -123}, {3, -132}, {4, 154}, {4, 156}};
    for (const Row& row : rows) {
        SCOPED_TRACE("demo " + std::to_string(row.demo) + " at step " + std::to_string(row.stopAt));
        DemoPlayer player;
        const std::vector<uint8_t> loco = readBytes(player.program.dir.file("demo/vestreldemo1.loc"));
        showDialogMessage("", 3);
        runDemoStep(row.demo);
        for (int i = 0; i < 20000 && gDemoStep != row.stopAt && gDemoStep != 0; ++i)
            if (gDemoStep > 0) player.pressVerder();
            else player.tick();
        ASSERT_EQ(gDemoStep, row.stopAt);
        clickButton(frmDemo, "btnStop");
        EXPECT_EQ(gDemoStep, 0);
        EXPECT_EQ(lastDialogMessage(), "");
        EXPECT_FALSE(sessionRunning());
        EXPECT_TRUE(frmSchema->grpCmdpost->isEnabled());
        EXPECT_EQ(gDirtyFlags, 0);
        EXPECT_EQ(openDialogs(), "");
        EXPECT_EQ(readBytes(player.program.dir.file("demo/vestreldemo1.loc")), loco);
    }
}

}  // namespace
