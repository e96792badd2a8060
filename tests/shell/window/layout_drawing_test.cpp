// Drawing a layout on the main window with real mouse and key events: the tools are chosen by their keys,
// points are placed by moving the pointer over the diagram and clicking, and the result is saved.
//
// A new element waits for its dialog's OK; the step-program editor, which has no OK yet, takes a new step
// box as entered.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QComboBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QPixmap>
#include <algorithm>
#include <memory>

#include "layout/editor/edit_input.h"
#include "layout/editor/edit_journal.h"
#include "layout/editor/editor_state.h"
#include "layout/editor/entry_handoff.h"
#include "layout/editor/entry_state.h"
#include "layout/files/layout_file.h"
#include "layout/model/layout_model.h"
#include "layout/editor/point_entry.h"
#include "layout/frame/render.h"
#include "layout/editor/track_entry.h"
#include "layout/dialogs/untDraaischijf.h"
#include "layout/dialogs/untIngang.h"
#include "layout/dialogs/untSein.h"
#include "layout/dialogs/untSektie.h"
#include "layout/dialogs/untUitgang.h"
#include "layout/dialogs/untWissel.h"
#include "shell/model/app_state.h"
#include "shell/window/image_view.h"
#include "shell/model/input_state.h"
#include "shell/config/messages.h"
#include "shell/dialogs/untBoodschap.h"
#include "shell/window/untSchema.h"
#include "shell/drawing_window.h"
#include "shell/shell_test_support.h"
#include "steps/model/step_program.h"
#include "steps/dialogs/untStappen.h"

// Readable points in test failures.
inline void PrintTo(const DiagramPoint& p, std::ostream* os) { *os << "(" << p.x << "," << p.y << ")"; }

namespace {

using Points = std::initializer_list<DiagramPoint>;

void expectPoints(const DiagramPoint* points, Points expected, const char* what) {
    int k = 0;
    for (DiagramPoint p : expected) EXPECT_EQ(points[k++], p) << what << " point " << k - 1;
}

void expectTrack(int index, Points points, int angle) {
    SCOPED_TRACE(index);
    const TrackRec& t = *gTracks[index];
    expectPoints(t.points, points, "track");
    EXPECT_EQ(t.segments, static_cast<int>(points.size()) - 1);
    EXPECT_EQ(t.segmentAngles[0], angle);
}

// A new block of two sections of 64 units along +x, with its stop sections and their contacts.
void expectBlock(int index, int number, Points points, int firstContact) {
    SCOPED_TRACE(number);
    const BlockRec& b = *gBlocks[index];
    EXPECT_EQ(b.number, number);
    expectPoints(b.points, points, "block");
    EXPECT_EQ(b.sections, 2);
    EXPECT_EQ(b.sectionAngles[0], 0);
    EXPECT_EQ(b.sectionAngles[1], 0);
    EXPECT_EQ(b.sectionKinds[0], 1);
    EXPECT_EQ(b.sectionKinds[1], 6);
    EXPECT_EQ(b.sectionInputs[1], firstContact);
    EXPECT_EQ(b.sectionInputs[2], firstContact + 1);
    EXPECT_FLOAT_EQ(b.sectionLengths[0], 64);
    EXPECT_FLOAT_EQ(b.sectionLengths[1], 64);
    EXPECT_FLOAT_EQ(b.sectionDirections[1][0], 1);
    EXPECT_FLOAT_EQ(b.sectionDirections[1][1], 0);
    EXPECT_EQ(b.totalLength, 128);
    EXPECT_EQ(b.allowedDirection, 'B');
    EXPECT_EQ(b.speed, 100);
    EXPECT_EQ(b.allowedTrains, 0x8F);
    EXPECT_EQ(b.outwardSlope, 4);
    EXPECT_EQ(b.returnSlope, 4);
    EXPECT_EQ(b.hAspect, 'G');
    EXPECT_EQ(b.state & 0x40, 0);
}

// Legs from the root R at angle 0, turnout length 32, branch 30, grid 8: R, R + (32, 0), R + (30, -8)
// (+8 for a right turnout), R + (2, 8) for a double slip or crossing; the centre R + (16, 0).
void expectTurnout(int index, char subtype, int number, DiagramPoint r) {
    SCOPED_TRACE(subtype);
    const TurnoutRec& t = *gTurnouts[index];
    EXPECT_EQ(t.subtype, subtype);
    EXPECT_EQ(t.number, number);
    EXPECT_EQ(t.angle, 0);
    EXPECT_EQ(t.position, 'G');
    const bool fourLegs = subtype == 'k' || subtype == 'x';
    expectPoints(t.legs,
                 {r, {r.x + 32, r.y}, {r.x + 30, subtype == 'r' ? r.y + 8 : r.y - 8},
                  fourLegs ? DiagramPoint{r.x + 2, r.y + 8} : DiagramPoint{}},
                 "turnout");
    EXPECT_EQ(t.centre, (DiagramPoint{r.x + 16, r.y}));
    if (subtype != 'x') {
        EXPECT_EQ(t.pulseTime, 2);
    }
}

// Along the block at angle 0: A, A + (4, -4), A + (4, 5), A + (12, 0); turned round at 180 the offsets
// change sign.
void expectSignal(int index, int number, int block, char direction, DiagramPoint a) {
    SCOPED_TRACE(number);
    const SignalRec& s = *gSignals[index];
    EXPECT_EQ(s.number, number);
    EXPECT_EQ(s.block, gBlocks[block]);
    EXPECT_EQ(s.direction, direction);
    const int d = direction == 'H' ? 1 : -1;
    EXPECT_EQ(s.angle, direction == 'H' ? 0 : 180);
    expectPoints(s.outline, {a, {a.x + 4 * d, a.y - 4 * d}, {a.x + 4 * d, a.y + 5 * d}, {a.x + 12 * d, a.y}},
                 "signal");
    EXPECT_EQ(s.aspect, 'G');
    EXPECT_EQ(s.pulseTime, 2);
}

using LayoutDrawing = DrawingWindow;

TEST_F(LayoutDrawing, AWholeLayoutIsDrawnWithTheMouseAndSaved) {
    // Block 1 and the way to block 2 through a left and a right turnout, along y = 96.
    key(Qt::Key_B);
    clickAt({40, 96});
    clickAt({104, 96});
    doubleClickAt({168, 96});
    confirmed(frmSektie);
    endTool();
    key(Qt::Key_V);
    clickAt({168, 96});  // on block 1's end
    doubleClickAt({200, 96});
    endTool();
    key(Qt::Key_L);
    clickAt({200, 96});  // its root on the track's end
    confirmed(frmWissel);
    endTool();
    key(Qt::Key_V);
    clickAt({232, 96});  // the left turnout's straight exit
    doubleClickAt({264, 96});
    endTool();
    key(Qt::Key_R);
    clickAt({264, 96});
    confirmed(frmWissel);
    endTool();
    key(Qt::Key_V);
    clickAt({296, 96});
    doubleClickAt({328, 96});
    clickAt({232, 88});  // the next track leaves the left turnout's branch at (230, 88)
    doubleClickAt({264, 64});
    endTool();
    key(Qt::Key_B);
    clickAt({328, 96});  // block 2 begins where the track ends
    clickAt({392, 96});
    doubleClickAt({456, 96});
    confirmed(frmSektie);
    endTool();
    // A double slip on the branch's track and a crossing on the double slip.
    key(Qt::Key_K);
    clickAt({264, 64});
    confirmed(frmWissel);
    endTool();
    key(Qt::Key_X);
    clickAt({296, 64});
    endTool();
    // A signal at each block end: along the block at its last section, turned round at its first.
    key(Qt::Key_S);
    clickAt({136, 104});
    confirmed(frmSein);
    moveTo({72, 88});
    turn(12);
    clickAt({72, 88});
    confirmed(frmSein);
    clickAt({424, 104});
    confirmed(frmSein);
    moveTo({360, 88});
    turn(12);
    clickAt({360, 88});
    confirmed(frmSein);
    endTool();
    key(Qt::Key_O);
    clickAt({520, 200});
    confirmed(frmUitgang);
    endTool();
    key(Qt::Key_I);
    clickAt({520, 240});
    confirmed(frmIngang);
    endTool();
    key(Qt::Key_P);
    clickAt({560, 24});
    // The step-program editor keeps a program of two steps.
    ASSERT_TRUE(frmStappen->isVisible());
    for (int k = 0; k < 2; ++k) {
        frmStappen->strgrdStappen->setCurrentCell(frmStappen->strgrdStappen->rowCount() - 1, 0);
        frmStappen->btnStapInvoegen->click();
    }
    frmStappen->btnOpslaan->click();
    ASSERT_TRUE(processUntil([] { return gEditMode == 5u; })) << lastDialogMessage();
    EXPECT_FALSE(frmStappen->isVisible());
    endTool();
    // A turntable and a track on each end of its bridge.
    key(Qt::Key_D);
    clickAt({600, 296});
    clickAt({680, 296});
    EXPECT_EQ(gEditOpRunning, 0);
    EXPECT_TRUE(frmDraaischijf->isVisible());
    frmDraaischijf->close();
    key(Qt::Key_V);
    clickAt({552, 296});
    clickAt({600, 296});  // ends on the bridge
    clickAt({680, 296});
    doubleClickAt({720, 296});
    endTool();

    frmSchema->grab().save(QString::fromStdString(testsupport::artefactPath("drawn_layout.png")));
    ASSERT_EQ(gStepProgramCount, 1);
    EXPECT_EQ(gStepPrograms[0]->name, "program 1");
    EXPECT_EQ(gStepPrograms[0]->box.left, 560);
    EXPECT_EQ(gStepPrograms[0]->box.top, 24);
    EXPECT_EQ(gStepPrograms[0]->firstStep, 0);

    gLayoutFileName = "getekend.vtl";
    ASSERT_EQ(saveLayoutFile(), 1);
    clearLayout();
    ASSERT_EQ(loadLayoutFile(), 1);
    // The records as the layout file gives them back.
    ASSERT_EQ(gBlockCount, 2);
    expectBlock(0, 1, {{40, 96}, {104, 96}, {168, 96}}, 1);
    expectBlock(1, 2, {{328, 96}, {392, 96}, {456, 96}}, 3);
    ASSERT_EQ(gTrackCount, 7);
    expectTrack(0, {{168, 96}, {200, 96}}, 0);
    expectTrack(1, {{232, 96}, {264, 96}}, 0);
    expectTrack(2, {{296, 96}, {328, 96}}, 0);
    expectTrack(3, {{230, 88}, {264, 64}}, -35);
    expectTrack(4, {{600, 296}, {680, 296}}, 0);
    expectTrack(5, {{552, 296}, {600, 296}}, 0);
    expectTrack(6, {{680, 296}, {720, 296}}, 0);
    EXPECT_EQ(gTracks[4]->flags, 2);
    ASSERT_EQ(gTurnoutCount, 4);
    expectTurnout(0, 'l', 1, {200, 96});
    expectTurnout(1, 'r', 2, {264, 96});
    expectTurnout(2, 'k', 3, {264, 64});
    expectTurnout(3, 'x', 0, {296, 64});
    // Signal numbers follow the turnouts' 1..3.
    ASSERT_EQ(gSignalCount, 4);
    expectSignal(0, 4, 0, 'H', {136, 104});
    expectSignal(1, 5, 0, 'T', {72, 88});
    expectSignal(2, 6, 1, 'H', {424, 104});
    expectSignal(3, 7, 1, 'T', {360, 88});
    // Addresses 1..7 are taken: the output gets address 8, red button.
    ASSERT_EQ(gOutputCount, 1);
    EXPECT_EQ(gOutputs[0]->key, 16);
    EXPECT_EQ(gOutputs[0]->pulseTime, 5);
    expectPoints(gOutputs[0]->outline, {{520, 200}, {520, 204}, {520, 208}, {530, 200}}, "output");
    ASSERT_EQ(gInputCount, 1);
    EXPECT_EQ(gInputs[0]->number, 1);
    EXPECT_EQ(gInputs[0]->anchor, (DiagramPoint{520, 240}));
    EXPECT_EQ(gInputs[0]->secondPoint, (DiagramPoint{530, 240}));
    ASSERT_EQ(gTurntableCount, 1);
    const TurntableRec& t = *gTurntables[0];
    EXPECT_EQ(t.number, 1);
    EXPECT_EQ(t.track, gTracks[4]);
    EXPECT_EQ(t.positions, 12);
    EXPECT_EQ(t.positionOfConnection[0], 1);
    EXPECT_FLOAT_EQ(t.centre[0], 640);
    EXPECT_FLOAT_EQ(t.centre[1], 296);
    EXPECT_FLOAT_EQ(t.radius, 40);
}

// A new input waits for its dialog's OK; Annuleren puts it back on the pointer.
TEST_F(LayoutDrawing, ANewInputWaitsForItsOk) {
    key(Qt::Key_I);
    clickAt({520, 240});
    ASSERT_TRUE(frmIngang->isVisible());
    EXPECT_EQ(gEditMode, 3u);
    EXPECT_EQ(gInputCount, 0);
    frmIngang->btnAnnuleren->click();
    EXPECT_EQ(gInputCount, 0);
    EXPECT_NE(gEditOpRunning, 0);
    QApplication::setActiveWindow(frmSchema);
    clickAt({520, 280});
    ASSERT_TRUE(frmIngang->isVisible());
    frmIngang->btnOK->click();
    ASSERT_EQ(gInputCount, 1);
    EXPECT_EQ(gEditMode, 5u);
    EXPECT_EQ(gInputs[0]->anchor, (DiagramPoint{520, 280}));
    endTool();
}

// A right click opens the turnout's dialog; a new number and OK are journalled as a change.
TEST_F(LayoutDrawing, ARightClickedTurnoutGetsANewNumber) {
    key(Qt::Key_L);
    clickAt({200, 96});
    ASSERT_TRUE(frmWissel->isVisible());
    confirmed(frmWissel);
    const int proposed = gTurnouts[0]->number;  // the next free number the editor proposed
    endTool();
    QApplication::setActiveWindow(frmSchema);
    clickAt({216, 96}, Qt::RightButton);
    ASSERT_TRUE(frmWissel->isVisible());
    EXPECT_EQ(gSelectedTurnout, gTurnouts[0]);
    frmWissel->edtNummer->setText("1212");
    frmWissel->btnOK->click();
    EXPECT_FALSE(frmWissel->isVisible());
    EXPECT_EQ(gTurnouts[0]->number, 1212);
    EXPECT_EQ(gEditMode, 0u);
    ASSERT_GT(journalUndoRedo(0), 0);
    EXPECT_EQ(gTurnouts[0]->number, proposed);
}

TEST_F(LayoutDrawing, RefusalsShowTheirMessageAndTheEntryGoesOn) {
    // A block of one section; then a bend whose chord is too short, and one that would turn back.
    key(Qt::Key_B);
    clickAt({100, 200});
    doubleClickAt({200, 200});
    closeMessage("Blokken moeten bestaan uit minstens 2 secties (lijnstukken) !");
    clickAt({200, 200});
    key(Qt::Key_C);
    ASSERT_EQ(gEditMode, 31u);
    moveTo({240, 200});
    EXPECT_EQ(gSelectedBlock->points[3], (DiagramPoint{}));
    moveTo({104, 200});
    EXPECT_EQ(gSelectedBlock->points[3], (DiagramPoint{}));
    key(Qt::Key_Escape);  // back to straight entry
    doubleClickAt({264, 200});
    confirmed(frmSektie);
    endTool();
    // A second signal for the same block end.
    key(Qt::Key_S);
    clickAt({232, 208});
    confirmed(frmSein);
    clickAt({248, 208});
    closeMessage("Er is reeds een sein in deze richting voor dit blok !");
    endTool();
    // A point where two elements end is taken.
    key(Qt::Key_V);
    clickAt({264, 200});
    doubleClickAt({320, 200});
    clickAt({264, 200});
    closeMessage("Dit punt is reeds bezet !");
    endTool();
    ASSERT_EQ(gTrackCount, 1);
    // A left turnout's root on the track's free end: turned 61 degrees off it is refused, 60 accepted.
    key(Qt::Key_L);
    moveTo({320, 200});
    turn(4);
    key(Qt::Key_T, Qt::ShiftModifier);
    ASSERT_EQ(gSelectedTurnout->angle, 61);
    clickAt({320, 200});
    closeMessage("De hoek tussen beide bouwstenen is te klein !");
    moveTo({320, 200});
    key(Qt::Key_W, Qt::ShiftModifier);
    clickAt({320, 200});
    EXPECT_EQ(gSelectedTurnout->angle, 60);
    EXPECT_EQ(gJoinPoint, (DiagramPoint{320, 200}));
    confirmed(frmWissel);
    endTool();
    ASSERT_EQ(gTurnoutCount, 1);
    EXPECT_EQ(gTurnouts[0]->legs[0], (DiagramPoint{320, 200}));
    EXPECT_EQ(gTurnouts[0]->angle, 60);
    EXPECT_EQ(gBlockCount, 1);
    EXPECT_EQ(gSignalCount, 1);
}

TEST_F(LayoutDrawing, TheToolBarChoosesTheTool) {
    const char* letters = kToolbarLetters;
    const int v = static_cast<int>(std::find(letters, letters + kToolbarButtons, 'v') - letters);
    ASSERT_LT(v, kToolbarButtons);
    QTest::mouseClick(frmSchema->ClientArea, Qt::LeftButton, {}, QPoint(gToolbarX[v] + kToolbarButtonWidth / 2, 26));
    EXPECT_TRUE(gInsertingTrack);
    clickAt({96, 304});
    doubleClickAt({200, 304});
    endTool();
    ASSERT_EQ(gTrackCount, 1);
    EXPECT_EQ(gTracks[0]->points[1], (DiagramPoint{200, 304}));
}

}  // namespace

// A drawn block waits for its dialog: Annuleren takes the entry up again, OK stores the block with the
// section kind set in the grid; the layout file and the journal keep it.
TEST_F(LayoutDrawing, ANewBlockTakesItsSectionKindsFromItsDialog) {
    emptyEditJournal();
    key(Qt::Key_B);
    clickAt({40, 96});
    clickAt({104, 96});
    clickAt({168, 96});
    doubleClickAt({232, 96});
    ASSERT_TRUE(frmSektie->isVisible());
    EXPECT_EQ(gEditMode, 3u);
    EXPECT_EQ(gBlockCount, 0);
    frmSektie->btnAnnuleren->click();
    EXPECT_EQ(gEditMode, 4u);
    EXPECT_EQ(gBlockCount, 0);
    EXPECT_NE(gEditOpRunning, 0);
    QApplication::setActiveWindow(frmSchema);
    doubleClickAt({232, 96});
    ASSERT_TRUE(frmSektie->isVisible());
    ASSERT_EQ(gSelectedBlock->sections, 3);
    frmSektie->strgrdSecties->setCurrentCell(1, 1);
    ASSERT_FALSE(frmSektie->cboSecSoort->isHidden());
    frmSektie->cboSecSoort->setCurrentIndex(2);
    frmSektie->cboSecSoortClick();
    const int firstContact = gSelectedBlock->sectionInputs[1];
    const int middleContact = gSelectedBlock->sectionInputs[2];
    EXPECT_NE(middleContact, 0);
    EXPECT_NE(middleContact, firstContact);
    confirmed(frmSektie);
    endTool();
    ASSERT_EQ(gBlockCount, 1);

    gLayoutFileName = "blok.vtl";
    ASSERT_EQ(saveLayoutFile(), 1);
    clearLayout();
    ASSERT_EQ(loadLayoutFile(), 1);
    ASSERT_EQ(gBlockCount, 1);
    EXPECT_EQ(gBlocks[0]->sectionKinds[1], 2);
    EXPECT_EQ(gBlocks[0]->sectionInputs[2], middleContact);

    emptyEditJournal();
    gSelectedBlock = gBlocks[0];
    gEditMode = kEditClickOpens;
    frmSektie->show();
    frmSektie->strgrdSecties->setCurrentCell(1, 1);
    frmSektie->cboSecSoort->setCurrentIndex(0);
    frmSektie->cboSecSoortClick();
    frmSektie->btnOK->click();
    EXPECT_EQ(gBlocks[0]->sectionKinds[1], 0);
    ASSERT_GT(journalUndoRedo(0), 0);
    EXPECT_EQ(gBlocks[0]->sectionKinds[1], 2);
    EXPECT_EQ(gBlocks[0]->sectionInputs[2], middleContact);
    ASSERT_GT(journalUndoRedo(1), 0);
    EXPECT_EQ(gBlocks[0]->sectionKinds[1], 0);
    EXPECT_EQ(gBlocks[0]->sectionInputs[2], 0);
}
