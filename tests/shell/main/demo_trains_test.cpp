// Demos 3 and 4 played on the real main window with the shipped demo data, as a user plays them.
#include <gtest/gtest.h>

#include <QGroupBox>

#include <QTabWidget>

#include <functional>
#include <string>
#include <vector>

#include "demo_player.h"
#include "layout/layout_builder.h"
#include "layout/model/layout_model.h"
#include "operation/engine/train_placement.h"
#include "operation/model/train_model.h"
#include "shell/config/messages.h"
#include "shell/dialogs/untInstellingen.h"
#include "shell/main/demo.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"
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

// Played at once and at a reader's pace (three seconds a line, the trains running on meanwhile).
TEST(DemoTrains, EachDemoPlaysToItsEndAndLeavesNothingBehind) {
    struct Row {
        int demo, readingTicks;
    };
    for (const Row row : {Row{3, 0}, Row{3, 100}, Row{4, 0}, Row{4, 100}}) {
        SCOPED_TRACE("demo " + std::to_string(row.demo) + ", reading ticks " + std::to_string(row.readingTicks));
        DemoPlayer player;
        player.readingTicks = row.readingTicks;
        const char* files[] = {"demo/vestreldemo1.vtl", "demo/vestreldemo1.loc"};
        std::vector<std::vector<uint8_t>> before;
        for (const char* f : files) before.push_back(readBytes(player.program.dir.file(f)));
        const int16_t shortTrain = gSettings.edtLengteKorte;

        EXPECT_EQ(player.playToEnd(row.demo), "");
        EXPECT_EQ(player.linesShown, chapterLines(row.demo));
        EXPECT_EQ(gDemoStep, 0);
        EXPECT_TRUE(frmSchema->grpCmdpost->isEnabled());
        EXPECT_EQ(gDirtyFlags, 0);
        EXPECT_EQ(gLocoDataModified, 0);
        EXPECT_FALSE(sessionRunning());
        EXPECT_EQ(gSettings.edtLengteKorte, shortTrain);
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
    const LocoRec* loco = gLocsOnTrack[0];
    const PositionRec& head = headSideEnd(*gLocsOnTrack[0]);
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

TEST(DemoTrains, TheFourthDemoDoesWhatItsLinesSay) {
    DemoPlayer player;
    auto all = [](auto holds) {
        if (gLocsOnTrackCount != 3) return false;
        for (int row = 0; row < 3; ++row)
            if (!holds(*gLocsOnTrack[row])) return false;
        return true;
    };
    auto signalForcedRed = [] { return gSignalCount > 0 && gSignals[0]->aspect == 'S'; };
    struct Row {
        int step;
        std::function<bool()> done;
    };
    const Row rows[] = {
        {151, [&] { return all([](const LocoRec& l) { return l.mode == kModeAuto && !l.running; }); }},
        {152, [&] { return all([](const LocoRec& l) { return l.running != 0; }); }},
        {153, [] { return frmInstellingen->isVisible() && frmInstellingen->pctInstellingen->currentIndex() == 0; }},
        {154, [] { return !frmInstellingen->isVisible(); }},
        {155, signalForcedRed},
        {156, [&] { return !signalForcedRed(); }},
        {157, [&] { return all([](const LocoRec& l) { return !l.running && l.targetStep == 0 && l.currentStep == 0; }); }},
    };
    showDialogMessage("", 3);
    runDemoStep(4);
    for (const Row& row : rows) {
        EXPECT_EQ(gDemoStep, row.step + 1);
        EXPECT_TRUE(row.done()) << "after step " << row.step;
        for (int i = 0; i < 30; ++i) player.tick();  // the trains run on while the user reads
        player.pressVerder();
    }
    EXPECT_EQ(lastDialogMessage(), "");
}

}  // namespace
