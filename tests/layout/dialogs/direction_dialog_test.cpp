// The direction dialog on the running program: the question with its red arrow, the answers, the
// analysis that follows and the action that goes on after it.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include "shell/shell_test_support.h"
#include "layout/draw_test_support.h"
#include "layout/analysis/connection_analysis.h"
#include "layout/editor/editor_state.h"
#include "layout/dialogs/untEerstePunt.h"
#include "layout/layout_builder.h"
#include "platform/desktop.h"
#include "platform/paths.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"
#include "shell/config/messages.h"
#include "shell/dialogs/untBestandNieuw.h"
#include "shell/dialogs/untBestandOpenen.h"
#include "shell/dialogs/untBestandOpslaan.h"
#include "layout/files/layout_file.h"
#include "shell/shell_test_support.h"
#include "shell/window/untSchema.h"

namespace {

constexpr uint32_t kRed = 0x0000FF;  // 0x00BBGGRR

// Red pixels within 40 units of a point, split by the side of x they lie on.
int redLeftOf(DiagramPoint p) { return drawtest::countColour(*gDiagramCanvas, p.x - 40, p.y - 40, p.x - 1, p.y + 40, kRed); }
int redRightOf(DiagramPoint p) { return drawtest::countColour(*gDiagramCanvas, p.x + 1, p.y - 40, p.x + 40, p.y + 40, kRed); }

class DirectionDialog : public ::testing::Test {
protected:
    void SetUp() override {
        program.start();
        gLayoutFileName = "proef.vtl";
        gSnapTolerance = 4;
        vestrel::setDesktopOpener([](const std::string&) { return true; });
    }
    void TearDown() override { vestrel::setDesktopOpener(nullptr); }

    // An oval: block 1 along the top from left to right, block 2 along the bottom drawn from right to
    // left, joined at both sides by a connecting track. Block 3, a reversing loop, stands first in the
    // table, so that the dialog must sort and skip it.
    static void buildOval() {
        LayoutBuilder()
            .block(3, {{100, 380}, {200, 380}, {300, 380}})
            .loop()
            .block(2, {{500, 300}, {300, 300}, {100, 300}})
            .block(1, {{100, 100}, {200, 100}, {300, 100}, {500, 100}})
            .kinds({1, 2, 6})
            .signal(7, 1, 'H')
            .track({{500, 100}, {550, 200}, {500, 300}})
            .track({{100, 300}, {50, 200}, {100, 100}});
    }

    // The dirty layout's question for a pending action, as the editor or the session start opens it.
    static void ask(uint32_t mode, uint8_t dirty = 1) {
        gEditMode = mode;
        gDirtyFlags = dirty;
        frmEerstePunt->FormActivate();
    }

    RunningProgram program;
};

TEST_F(DirectionDialog, QuestionShowsTheRedArrowAtTheEndOfTheLowestNumberedBlockThatIsNoLoop) {
    buildOval();
    ask(kEditConnections, 0);  // the connections command asks even when nothing changed

    ASSERT_TRUE(frmEerstePunt->isVisible());
    EXPECT_EQ(gActiveDialog, 4);
    EXPECT_EQ(frmEerstePunt->windowTitle(), "Bepaling richting 'heen'");
    EXPECT_EQ(frmEerstePunt->y(), frmSchema->y());
    EXPECT_EQ(gSelectedBlock, blockNumbered(1));
    EXPECT_EQ(frmEerstePunt->lblTekst->text().toStdString(),
              "De rode pijl geeft de richting 'heen' aan van het blok met nummer '1'. Antwoord 'Ja' indien dit "
              "correct is, 'Nee' indien omgekeerd.");
    std::vector<int> order;
    for (const BlockRec* b : gBlocks) order.push_back(b->number);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));

    // The arrowhead points along the last section (to the right) and ends on the block's last point.
    const DiagramPoint last{500, 100}, first{100, 100};
    EXPECT_GT(redLeftOf(last), 60);
    EXPECT_EQ(redRightOf(last), 0);
    // Each stroke starts 30 units back at 30 degrees either side: (474, 85) and (474, 115).
    EXPECT_EQ(gDiagramCanvas->Pixel(474, 85), kRed);
    EXPECT_EQ(gDiagramCanvas->Pixel(474, 115), kRed);
    EXPECT_NE(gDiagramCanvas->Pixel(474, 100), kRed);
    EXPECT_NE(gDiagramCanvas->Pixel(470, 82), kRed);
    EXPECT_EQ(redLeftOf(first) + redRightOf(first), 0);
    EXPECT_EQ(gDiagramCanvas->Pen.Width, 1);
    EXPECT_EQ(gConnectionCount, 0);  // nothing is analysed before the answer
    gDiagramCanvas->savePng(testsupport::artefactPath("heen_arrow.png"));
}

TEST_F(DirectionDialog, JaKeepsTheBlockAndNeeTurnsItAroundBeforeTheAnalysis) {
    struct Case {
        const char* button;
        DiagramPoint block1First, block2First;
        const char* block1Sections;
        char signalEnd;
    };
    const Case cases[] = {
        {"btnJa", {100, 100}, {500, 300}, "kinds 1 2 6 inputs 0 0 0", 'H'},
        {"btnNee", {500, 100}, {100, 300}, "kinds 1 5 6 inputs 0 0 0", 'T'},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.button);
        buildOval();
        ask(kEditConnections);
        clickButton(frmEerstePunt, k.button);

        EXPECT_EQ(blockNumbered(1)->points[0], k.block1First);
        EXPECT_EQ(describeSections(blockNumbered(1)), k.block1Sections);
        EXPECT_EQ(signalNumbered(7)->direction, k.signalEnd);
        // The analysis ran from the block as answered: block 2 was turned to continue its 'H' way.
        EXPECT_EQ(blockNumbered(2)->points[0], k.block2First);
        ASSERT_EQ(gConnectionCount, 4);
        EXPECT_EQ(describeConnection(gConnections[0]), "1 2 H");
        EXPECT_TRUE(testsupport::readBytes(program.dir.file("proef.log")).size() > 0);
        // "Nee" shows the arrow again at the block's new last point, pointing left.
        if (k.signalEnd == 'T') {
            EXPECT_GT(redRightOf({100, 100}), 60);
        }
        EXPECT_FALSE(frmEerstePunt->isVisible());
        EXPECT_EQ(gActiveDialog, 0);
        EXPECT_EQ(gEditMode, 0u);
    }
}

TEST_F(DirectionDialog, AClickOnTheDiagramAnswersOnlyWithinThreeUnitsOfABlockEnd) {
    buildOval();
    ask(kEditConnections);

    gMousePoint = {104, 97};  // 4 units from the first point: no answer, the question stays
    frmEerstePunt->FormActivate();
    EXPECT_TRUE(frmEerstePunt->isVisible());
    EXPECT_EQ(blockNumbered(1)->points[0], (DiagramPoint{100, 100}));
    EXPECT_EQ(gConnectionCount, 0);

    gMousePoint = {103, 97};  // within 3 units of the first point: "Nee", snapped onto the point
    frmEerstePunt->FormActivate();
    EXPECT_EQ(gMousePoint, (DiagramPoint{100, 100}));
    EXPECT_EQ(blockNumbered(1)->points[0], (DiagramPoint{500, 100}));
    EXPECT_EQ(gConnectionCount, 4);
    EXPECT_FALSE(frmEerstePunt->isVisible());
}

TEST_F(DirectionDialog, AnnulerenDropsThePendingAction) {
    buildOval();
    ask(21);
    clickButton(frmEerstePunt, "btnAnnuleren");
    EXPECT_FALSE(frmEerstePunt->isVisible());
    EXPECT_EQ(gActiveDialog, 0);
    EXPECT_EQ(gEditMode, 0u);
    EXPECT_EQ(gConnectionCount, 0);
    EXPECT_FALSE(vestrel::fileExists("proef.vtl"));
}

TEST_F(DirectionDialog, TooManyReversingLoopsRefusesAndDropsThePendingAction) {
    LayoutBuilder builder;
    for (int n = 1; n <= 6; ++n) {
        builder.block(n, {{100, 50 * n}, {200, 50 * n}, {300, 50 * n}});
        if (n <= 5) builder.loop();
    }
    ask(12);
    EXPECT_EQ(lastDialogMessage(), "Er zijn te veel keerlussen");
    EXPECT_FALSE(frmEerstePunt->isVisible());
    EXPECT_EQ(gActiveDialog, 0);
    // Left pending, a later session start would take the layout as checked and skip the question.
    EXPECT_EQ(gEditMode, 0u);
    EXPECT_EQ(gConnectionCount, 0);
}

// What follows the answer, per pending action.
struct Continuation {
    const char* name;
    uint32_t mode;
    uint8_t dirty;           // 2: only properties changed, so no question is asked
    int sessionAnswer;       // -1 no question; 1 "Ja" / 0 "Nee" to "Rode punten ..."
    bool saved;              // the layout file was written
    uint32_t modeAfter;      // gEditMode afterwards
    QWidget* (*shown)();     // the dialog that takes over, or none
    bool mainWindowOpen;
};

void PrintTo(const Continuation& c, std::ostream* os) { *os << c.name; }

class DirectionContinuation : public DirectionDialog, public ::testing::WithParamInterface<Continuation> {};

TEST_P(DirectionContinuation, GoesOnWithThePendingAction) {
    const Continuation& k = GetParam();
    buildOval();
    std::string asked;
    if (k.sessionAnswer >= 0)
        whenModal([&](QWidget* modal) {
            asked = modal->findChild<QLabel*>("lblTekst")->text().toStdString();
            clickButton(modal, k.sessionAnswer ? "btnJa" : "btnNee");
        });
    ask(k.mode, k.dirty);
    if (k.dirty & 1) {
        EXPECT_TRUE(frmEerstePunt->isVisible());
        clickButton(frmEerstePunt, "btnJa");
    }

    EXPECT_FALSE(frmEerstePunt->isVisible());
    EXPECT_EQ(gConnectionCount, (k.dirty & 1) ? 4 : 0);
    EXPECT_EQ(vestrel::fileExists("proef.vtl"), k.saved);
    if (k.sessionAnswer >= 0) {
        EXPECT_EQ(asked, "Rode punten geven eindpunten aan. Verder gaan ?");
    }
    if (k.mode == 13 && k.sessionAnswer == 1) {
        EXPECT_TRUE(sessionRunning() || gEditMode == 13u);  // the session start has the request
    } else {
        EXPECT_EQ(gEditMode, k.modeAfter);
    }
    if (k.shown) {
        EXPECT_TRUE(k.shown()->isVisible());
    }
    EXPECT_NE(gActiveDialog, 4);
    EXPECT_EQ(frmSchema->isVisible(), k.mainWindowOpen);
}

QWidget* nameDialog() { return frmBestandNieuw; }
QWidget* openDialog() { return frmBestandOpenen; }

INSTANTIATE_TEST_SUITE_P(
    PerMode, DirectionContinuation,
    ::testing::Values(Continuation{"Connections", 11, 1, -1, false, 0, nullptr, true},
                      Continuation{"Save", 21, 1, -1, true, 0, nullptr, true},
                      Continuation{"SavePropertiesOnlyWithoutQuestion", 21, 2, -1, true, 0, nullptr, true},
                      Continuation{"NewLayout", 19, 1, -1, true, 19, nameDialog, true},
                      Continuation{"SaveAs", 22, 1, -1, false, 22, nameDialog, true},
                      Continuation{"Open", 20, 1, -1, true, 20, openDialog, true},
                      Continuation{"Exit", 29, 1, -1, true, 0, nullptr, false},
                      Continuation{"SessionGoesOn", 13, 1, 1, false, 13, nullptr, true},
                      Continuation{"SessionStoppedAtDeadEnds", 13, 1, 0, false, 0, nullptr, true}),
    [](const ::testing::TestParamInfo<Continuation>& info) { return std::string(info.param.name); });

// The analysis turns stored blocks and tracks: a saved layout counts as changed after it, so that the
// turned layout is saved, or asked about when the program is left.
TEST_F(DirectionDialog, TurningBlocksMarksTheSavedLayoutChanged) {
    buildOval();
    ASSERT_EQ(saveLayoutFile(), 1);
    ASSERT_EQ(gDirtyFlags, 0);
    frmSchema->mnuVerbindingen->trigger();
    clickButton(frmEerstePunt, "btnNee");
    ASSERT_EQ(blockNumbered(1)->points[0], (DiagramPoint{500, 100}));
    EXPECT_NE(gDirtyFlags, 0);

    frmSchema->mnuOpslaan->trigger();  // only properties changed: no second question
    EXPECT_FALSE(frmEerstePunt->isVisible());
    EXPECT_EQ(gDirtyFlags, 0);
    clearLayout();
    ASSERT_EQ(loadLayoutFile(), 1);
    EXPECT_EQ(blockNumbered(1)->points[0], (DiagramPoint{500, 100}));
    EXPECT_EQ(blockNumbered(2)->points[0], (DiagramPoint{100, 300}));
    EXPECT_EQ(signalNumbered(7)->direction, 'T');
    EXPECT_EQ(gConnectionCount, 4);

    // Turned back by "Nee" once more: leaving asks whether to save.
    frmSchema->mnuVerbindingen->trigger();
    clickButton(frmEerstePunt, "btnNee");
    EXPECT_FALSE(frmSchema->close());
    ASSERT_TRUE(processUntil([] { return frmBestandOpslaan->isVisible(); }));
    frmBestandOpslaan->btnAnnuleren->click();
}

// New, open and exit would replace or leave the changed layout: after a failed save they do not go on.
TEST_F(DirectionDialog, ALayoutThatCannotBeSavedIsNeitherReplacedNorLeft) {
    for (uint32_t mode : {19u, 20u, 29u}) {
        SCOPED_TRACE(mode);
        buildOval();
        gLayoutFileName = "geenmap/proef.vtl";  // a folder that does not exist
        ask(mode);
        clickButton(frmEerstePunt, "btnJa");
        EXPECT_EQ(lastDialogMessage(), "Kan bestand 'geenmap/proef.vtl' niet openen !");
        EXPECT_FALSE(frmBestandNieuw->isVisible());
        EXPECT_FALSE(frmBestandOpenen->isVisible());
        EXPECT_TRUE(frmSchema->isVisible());
        EXPECT_EQ(gDirtyFlags, 1);
        EXPECT_EQ(gEditMode, 0u);
        EXPECT_EQ(gActiveDialog, 0);
    }
}

}  // namespace
