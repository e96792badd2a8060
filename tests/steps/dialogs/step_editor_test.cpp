// The step-program editor on the real main window: writing a new program, editing steps in the grid with
// the floating code lists, names, saving and deleting, running a program in a session, the four run
// fields and the formula panel.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <memory>

#include "layout/draw/diagram_canvas.h"
#include "layout/draw_test_support.h"
#include "layout/draw/element_colours.h"
#include "layout/editor/editor_state.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "operation/session_trains.h"
#include "platform/canvas.h"
#include "platform/paths.h"
#include "shell/drawing_window.h"
#include "shell/main/session.h"
#include "shell/window/untSchema.h"
#include "steps/dialogs/untStappen.h"
#include "steps/editor/step_boxes.h"
#include "steps/engine/step_executor.h"
#include "steps/files/step_file.h"
#include "steps/model/step_program.h"

namespace {

constexpr int kCondIngang1 = 1;
constexpr int kCondFormule = 24;
constexpr int kActUitgangR = 2;
constexpr int kActStap = 1;
constexpr int kActFormule = 26;
constexpr int kActAOpen = 28;

StepRec step(int condition, int conditionValue, int action, int actionValue, int time = 0) {
    StepRec s;
    s.conditionCode = static_cast<uint8_t>(condition);
    s.conditionValue = static_cast<int16_t>(conditionValue);
    s.actionCode = static_cast<uint8_t>(action);
    s.actionValue = static_cast<int16_t>(actionValue);
    s.time = static_cast<int16_t>(time);
    return s;
}

class StepEditor : public DrawingWindow {
protected:
    void SetUp() override {
        DrawingWindow::SetUp();
        gLayoutFileName = "test.vtl";
        gNetOutFill = 0;
    }
    void TearDown() override {
        gNetLinkState = 0;
        if (frmStappen->isVisible()) frmStappen->close();
        DrawingWindow::TearDown();
    }
    static StepProgramRec* addProgram(const std::string& name, const std::vector<StepRec>& steps) {
        auto p = std::make_unique<StepProgramRec>();
        p->name = name;
        p->number = static_cast<uint8_t>(gStepProgramCount);
        p->firstStep = static_cast<int16_t>(gStepCount);
        p->stepCount = static_cast<uint8_t>(steps.size());
        layoutStepBox(*p, {600, 40 + 40 * gStepProgramCount});
        for (const StepRec& s : steps) gSteps.append(std::make_unique<StepRec>(s));
        return gStepPrograms.append(std::move(p));
    }
    static void open(uint32_t mode, StepProgramRec* p) {
        gEditMode = mode;
        gCurStepBox = p;
        frmStappen->Tag = 0;
        frmStappen->show();
        ASSERT_TRUE(frmStappen->isVisible());
    }
    static QTableWidget* grid() { return frmStappen->strgrdStappen; }
    static void select(int row, int column) { grid()->setCurrentCell(row, column); }
    // The user picks an entry of a list.
    static void pick(QComboBox* list, int index) {
        ASSERT_TRUE(list->isVisible());
        list->setCurrentIndex(index);
        emit list->activated(index);
    }
    // Types into the value cell's editor and ends with Enter; returns what the cell showed before Enter.
    static QString typeCell(int row, int column, const char* text) {
        select(row, column);
        grid()->edit(grid()->currentIndex());
        auto* editor = grid()->findChild<QLineEdit*>("strgrdStappenEditor");
        if (!editor) return "<no editor>";
        editor->selectAll();
        QTest::keyClicks(editor, text);
        const QString shown = editor->text();
        QTest::keyClick(editor, Qt::Key_Return);
        // The view takes the value and closes the editor on its next round.
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return shown;
    }
    static QString cell(int row, int column) {
        const QTableWidgetItem* item = grid()->item(row, column);
        return item ? item->text() : QString();
    }
    static void insertAtEnd() {
        select(grid()->rowCount() - 1, 0);
        frmStappen->btnStapInvoegen->click();
    }
    // Double-click a run field, type, and end with the key.
    static void editField(QLineEdit* field, const char* text, Qt::Key end = Qt::Key_Return) {
        QTest::mouseDClick(field, Qt::LeftButton);
        ASSERT_FALSE(field->isReadOnly());
        field->selectAll();
        QTest::keyClicks(field, text);
        QTest::keyClick(field, end);
    }
    static void startSession() {
        const int result = toggleControlPostSession(13);
        ASSERT_EQ(gRunWithoutTrack, 1) << lastDialogMessage() << result;
        frmBoodschap->close();
        QApplication::setActiveWindow(frmSchema);
        ASSERT_TRUE(processUntil([] { return QApplication::activeWindow() == frmSchema; }));
    }
};

// The step-program file with one program "pendel" of three steps, written from the file's field table.
Bytes pendelFile(const StepBoxRect& box) {
    FileBytes f;
    auto i16 = [&](int v) { f.u8(v & 0xFF).u8((v >> 8) & 0xFF); };
    f.text("V0.6");
    i16(1), i16(3), i16(0);
    f.text("pendel").zeros(15);
    f.u8(0).u8(3).u8(3).u8(0).u8(0).zeros(2);  // number, steps, current step (the last row chosen), state, counter, pad
    i16(0), i16(0);                                          // first step, wait left
    f.i32(560).i32(24).i32(box.right).i32(box.bottom);       // box, anchored where it was clicked
    f.i32(0).i32(0);                                         // next second, locomotive
    i16(12), i16(7), i16(5), i16(-1), f.u8(kCondIngang1).u8(kActUitgangR);  // "ingang=1" 12 / "uitgang=R" 7, 5 s
    i16(0), i16(0), i16(0), i16(-1), f.u8(0).u8(0);                          // "geen" / "geen"
    i16(0), i16(1), i16(3), i16(-1), f.u8(0).u8(kActStap);                   // "geen" / "stap" 1, 3 s
    return f.b;
}

TEST_F(StepEditor, ANewProgramIsWrittenStepByStepAndSavedWithItsBox) {
    key(Qt::Key_P);
    clickAt({560, 24});
    ASSERT_TRUE(frmStappen->isVisible());
    EXPECT_EQ(frmStappen->windowTitle(), "Toevoegen nieuw stappenprogramma");
    EXPECT_EQ(frmStappen->btnOpslaan->text(), "Stappenprogramma opslaan");
    EXPECT_EQ(gActiveDialog, 15);
    EXPECT_EQ(gStepProgramCount, 0);  // not stored before it is saved
    for (int k = 0; k < 3; ++k) insertAtEnd();
    ASSERT_EQ(gCurStepBox->stepCount, 3);
    ASSERT_EQ(grid()->rowCount(), 4);  // and the empty last row

    select(0, 1);
    pick(frmStappen->cboConditie, kCondIngang1);
    EXPECT_EQ(cell(0, 1), "ingang=1");
    EXPECT_EQ(typeCell(0, 2, "12"), "12");
    select(0, 3);
    pick(frmStappen->cboActie, kActUitgangR);
    EXPECT_EQ(typeCell(0, 4, "7"), "7");
    EXPECT_EQ(typeCell(0, 5, "5"), "5");
    select(2, 3);
    pick(frmStappen->cboActie, kActStap);
    EXPECT_EQ(typeCell(2, 4, "1"), "1");
    EXPECT_EQ(typeCell(2, 5, "3"), "3");
    EXPECT_EQ(typeCell(3, 2, "4"), "<no editor>");  // the empty last row stays empty
    EXPECT_EQ(cell(2, 3), "stap");

    QLineEdit* name = frmStappen->cboStappenNaam->lineEdit();
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text(), "program 1");
    name->selectAll();
    QTest::keyClicks(name, "pendel");
    frmStappen->btnOpslaan->click();

    EXPECT_FALSE(frmStappen->isVisible());
    ASSERT_EQ(gStepProgramCount, 1);
    const StepProgramRec& p = *gStepPrograms[0];
    EXPECT_EQ(p.name, "pendel");
    EXPECT_EQ(gEditMode, 5u);
    const int area = (p.box.right - p.box.left) * (p.box.bottom - p.box.top);
    EXPECT_GT(drawtest::countColour(*gDiagramCanvas, p.box.left, p.box.top, p.box.right, p.box.bottom, kShadowColour),
              area / 2);
    const Bytes written = testsupport::readBytes("test.stp");
    const Bytes expected = pendelFile(p.box);
    ASSERT_EQ(written.size(), expected.size());
    for (size_t k = 0; k < written.size(); ++k) EXPECT_EQ(written[k], expected[k]) << "byte " << k;
}

TEST_F(StepEditor, ClosingANewProgramUnsavedDropsItsSteps) {
    addProgram("oud", {step(0, 0, 0, 0), step(0, 0, 0, 0)});
    key(Qt::Key_P);
    clickAt({560, 24});
    ASSERT_TRUE(frmStappen->isVisible());
    insertAtEnd();
    insertAtEnd();
    EXPECT_EQ(gStepCount, 4);
    frmStappen->btnAnnuleren->click();
    EXPECT_FALSE(frmStappen->isVisible());
    EXPECT_EQ(gStepCount, 2);
    EXPECT_EQ(gStepProgramCount, 1);
    EXPECT_EQ(gEditMode, 4u);  // the box is laid out at the pointer again
}

struct ClampCase {
    const char* what;
    int condition;
    int action;
    int column;
    const char* typed;
    const char* shown;
};

TEST_F(StepEditor, TypedValuesAreClampedToTheirCodesRange) {
    std::vector<StepRec> steps(12, step(0, 0, 0, 0));
    StepProgramRec* p = addProgram("twaalf", steps);
    open(8, p);
    const ClampCase cases[] = {
        {"contact of ingang=1", 1, 0, 2, "600", "496"},
        {"output of uitgang=G", 4, 0, 2, "9999", "9999"},
        {"block of bezet=1", 5, 0, 2, "250", "200"},
        {"speed of snelheid<=", 12, 0, 2, "300", "255"},
        {"heen has no value", 13, 0, 2, "5", "0"},
        {"formula number kept", 24, 0, 2, "77", "77"},
        {"jump in 12 steps", 0, 1, 4, "30", "12"},
        {"function of functie=1", 0, 12, 4, "25", "20"},
        {"contact of sync", 0, 18, 4, "700", "496"},
        {"percentage of vul%", 0, 21, 4, "150", "100"},
        {"counter of teller-", 0, 25, 4, "300", "255"},
        {"rangeer has no value", 0, 5, 4, "9", "0"},
        {"time of a logic step", 0, 33, 5, "99", "0"},
        {"time of an action step", 0, 2, 5, "999", "999"},
    };
    for (const ClampCase& c : cases) {
        StepRec& s = *gSteps[0];
        s.conditionCode = static_cast<uint8_t>(c.condition);
        s.actionCode = static_cast<uint8_t>(c.action);
        frmStappen->showStepRow(0, 1);
        EXPECT_EQ(typeCell(0, c.column, c.typed), c.shown) << c.what;
        EXPECT_EQ(cell(0, c.column), c.shown) << c.what;
    }
    EXPECT_EQ(gSteps[0]->conditionValue, 77);
    EXPECT_EQ(gSteps[0]->actionValue, 0);
    EXPECT_EQ(gSteps[0]->time, 999);
    // A change to "A(" zeroes value and time.
    *gSteps[1] = step(0, 0, kActUitgangR, 40, 8);
    frmStappen->showStepRow(1, 2);
    select(1, 3);
    pick(frmStappen->cboActie, kActAOpen);
    EXPECT_EQ(gSteps[1]->actionCode, kActAOpen);
    EXPECT_EQ(gSteps[1]->actionValue, 0);
    EXPECT_EQ(gSteps[1]->time, 0);
    EXPECT_EQ(cell(1, 4), "0");
    EXPECT_EQ(cell(1, 5), "0");

    // A digit on the grid opens the code list of the column; Esc there returns to the grid.
    QApplication::setActiveWindow(frmStappen);
    ASSERT_TRUE(processUntil([] { return QApplication::activeWindow() == frmStappen; }));
    select(2, 1);
    grid()->setFocus();
    QTest::keyClick(grid(), Qt::Key_3);
    EXPECT_TRUE(frmStappen->cboConditie->hasFocus());
    QTest::keyClick(frmStappen->cboConditie, Qt::Key_Escape);
    EXPECT_TRUE(grid()->hasFocus());
    EXPECT_TRUE(frmStappen->isVisible());
}

TEST_F(StepEditor, NamesMustDifferAndShortProgramsAreNotSaved) {
    StepProgramRec* een = addProgram("een", {step(0, 0, 0, 0), step(0, 0, 0, 0)});
    addProgram("twee", {step(0, 0, 0, 0)});
    open(8, een);
    EXPECT_EQ(frmStappen->windowTitle(), "Wijzigen gegevens stappenprogramma");
    EXPECT_FALSE(frmStappen->btnDupliceer->isHidden());
    QComboBox* names = frmStappen->cboStappenNaam;
    ASSERT_EQ(names->count(), 2);
    names->lineEdit()->selectAll();
    QTest::keyClicks(names->lineEdit(), "twee");
    EXPECT_EQ(een->name, "twee");  // renamed as typed
    names->setCurrentIndex(1);
    emit names->activated(1);
    EXPECT_EQ(lastDialogMessage(), "Stappenprogrammanaam tweemaal gebruikt");
    EXPECT_EQ(names->currentIndex(), 0);
    EXPECT_EQ(gCurStepBox, een);
    closeMessage("Stappenprogrammanaam tweemaal gebruikt");
    frmStappen->btnOpslaan->click();
    EXPECT_EQ(lastDialogMessage(), "Stappenprogrammanaam wordt dubbel gebruikt");
    EXPECT_TRUE(frmStappen->isVisible());
    closeMessage("Stappenprogrammanaam wordt dubbel gebruikt");

    // Another name: switching to the one-step program, whose save does nothing.
    names->lineEdit()->selectAll();
    QTest::keyClicks(names->lineEdit(), "drie");
    names->setCurrentIndex(1);
    emit names->activated(1);
    EXPECT_EQ(gCurStepBox, gStepPrograms[1]);
    EXPECT_EQ(names->itemText(0), "drie");
    frmStappen->btnOpslaan->click();
    EXPECT_TRUE(frmStappen->isVisible());
    EXPECT_FALSE(vestrel::fileExists("test.stp"));
}

TEST_F(StepEditor, DeletingAProgramAsksFirst) {
    StepProgramRec* een = addProgram("een", {step(0, 0, 0, 0), step(0, 0, 0, 0)});
    addProgram("twee", {step(1, 3, 0, 0), step(0, 0, 0, 0)});
    for (const bool yes : {false, true}) {
        open(7, een);
        EXPECT_EQ(frmStappen->windowTitle(), "Verwijderen stappenprogramma");
        EXPECT_FALSE(grid()->isEnabled());
        EXPECT_FALSE(frmStappen->btnStapInvoegen->isEnabled());
        select(1, 0);
        whenModal([yes](QWidget* modal) { clickButton(modal, yes ? "btnJa" : "btnNee"); });
        frmStappen->btnOpslaan->click();
        EXPECT_FALSE(frmStappen->isVisible());
        EXPECT_EQ(gStepProgramCount, yes ? 1 : 2);
        EXPECT_EQ(vestrel::fileExists("test.stp"), yes);
    }
    // The selected step and the program are gone: the editor points at neither.
    EXPECT_EQ(gCurStepBox, nullptr);
    EXPECT_EQ(gCurStepIndex, -1);
    EXPECT_EQ(gStepCount, 2);
    EXPECT_EQ(gStepPrograms[0]->name, "twee");
    EXPECT_EQ(gStepPrograms[0]->firstStep, 0);
}

TEST_F(StepEditor, ClosingUnsavedEditsReloadsTheFileAndFindsTheFormulaAgain) {
    addProgram("een", {step(0, 0, 0, 0), step(0, 0, 0, 0)});
    StepProgramRec* twee = addProgram("twee", {step(kCondFormule, 1, 0, 0), step(0, 0, 0, 0)});
    gFormulas.append(std::make_unique<FormulaRec>(FormulaRec{0, kFormulaCondition, {}, 0, 0, {}, {}, 0}));
    ASSERT_EQ(saveStepProgramFile(), 1);
    open(8, twee);
    select(0, 2);
    frmStappen->Timer1Timer();
    ASSERT_EQ(gCurFormula, gFormulas[0]);
    EXPECT_EQ(gCurStepIndex, 2);
    typeCell(1, 5, "9");
    frmStappen->btnAnnuleren->click();
    // Every record is new: the editor's program, step and formula are the ones at the same places.
    ASSERT_EQ(gStepProgramCount, 2);
    EXPECT_EQ(gCurStepBox, gStepPrograms[1]);
    EXPECT_EQ(gCurFormula, gFormulas[0]);
    EXPECT_EQ(gSteps[3]->time, 0);
    EXPECT_EQ(gEditMode, 0u);
}

TEST_F(StepEditor, ASessionRunsPausesAndStopsTheProgramAndSetsItsFields) {
    buildSessionLayoutWithTwoTrains();
    gStepPrograms.clear();
    addProgram("loop", {step(0, 0, 0, 0, 2), step(0, 0, 0, 0, 2), step(0, 0, 0, 0, 2)});
    startSession();
    frmSchema->findChild<QAction*>("mnuStapWijzig")->trigger();
    ASSERT_TRUE(frmStappen->isVisible());
    StepProgramRec& p = *gStepPrograms[0];
    EXPECT_EQ(frmStappen->windowTitle(), "Stappenprogramma's");
    EXPECT_EQ(frmStappen->btnAnnuleren->text(), "Afsluiten");
    EXPECT_TRUE(frmStappen->btnStart->isEnabled());

    frmStappen->btnStart->click();
    EXPECT_EQ(p.state, 1);
    EXPECT_EQ(frmStappen->btnStart->text(), "pause");
    frmStappen->btnStart->click();
    EXPECT_EQ(p.state, 2);
    EXPECT_EQ(frmStappen->btnStart->text(), "start");
    frmStappen->btnStop->click();
    EXPECT_EQ(p.state, 0);

    frmStappen->btnStart->click();
    runStepPrograms();
    frmStappen->FormActivate();
    EXPECT_EQ(p.currentStep, 1);
    EXPECT_EQ(frmStappen->edtStap->text(), "1");
    // The current step's row is marked blue, the others are not.
    const QImage cells = grid()->viewport()->grab().toImage();
    const QRect first = grid()->visualRect(grid()->model()->index(0, 0));
    const QRect second = grid()->visualRect(grid()->model()->index(1, 0));
    EXPECT_EQ(cells.pixelColor(first.right() - 2, first.center().y()), QColor(0, 0, 255));
    EXPECT_NE(cells.pixelColor(second.right() - 2, second.center().y()), QColor(0, 0, 255));
    editField(frmStappen->edtStap, "3");
    EXPECT_EQ(p.currentStep, 3);
    editField(frmStappen->edtTeller, "42");
    EXPECT_EQ(p.counter, 42);
    editField(frmStappen->edtTeller, "7", Qt::Key_Escape);
    EXPECT_EQ(p.counter, 42);
    EXPECT_EQ(frmStappen->edtTeller->text(), "42");
    EXPECT_TRUE(frmStappen->edtTeller->isReadOnly());
    EXPECT_TRUE(frmStappen->isVisible());  // Esc in the field did not close the window
    editField(frmStappen->edtLoc, "7");
    ASSERT_NE(p.boundLoco, nullptr);
    EXPECT_EQ(p.boundLoco->number, 7);
    editField(frmStappen->edtLoc, "5");  // not on the track: the bound locomotive stays
    EXPECT_EQ(p.boundLoco->number, 7);
    EXPECT_EQ(frmStappen->edtLoc->text(), "7");
    // More seconds than the 16-bit wait holds are cut to its top instead of wrapping negative.
    editField(frmStappen->edtStaptijd, "40000");
    EXPECT_EQ(p.waitLeft, 32767);
    EXPECT_EQ(frmStappen->edtStaptijd->text(), "32767");

    // The running step, the last, is deleted: the program goes on from step 1.
    select(2, 0);
    frmStappen->btnStapWissen->click();
    EXPECT_EQ(p.stepCount, 2);
    EXPECT_EQ(gStepCount, 2);
    EXPECT_EQ(grid()->rowCount(), 3);
    runStepPrograms();
    EXPECT_EQ(p.currentStep, 1);
    EXPECT_EQ(p.state, 1);

    // A synchronised client asks the server instead.
    gNetLinkState = 40;
    gNetOutFill = 0;
    select(1, 0);
    frmStappen->btnStapInvoegen->click();
    const Bytes queued(gNetOutBuffer, gNetOutBuffer + gNetOutFill);
    EXPECT_EQ(queued, (Bytes{0x0E, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00}));
    EXPECT_EQ(p.stepCount, 2);
    EXPECT_EQ(grid()->rowCount(), 3);
}

TEST_F(StepEditor, SpaceInAValueCellStopsAllTrains) {
    buildSessionLayoutWithTwoTrains();
    gStepPrograms.clear();
    addProgram("loop", {step(0, 0, 0, 0, 2), step(0, 0, 0, 0, 2)});
    startSession();
    frmSchema->findChild<QAction*>("mnuStapWijzig")->trigger();
    ASSERT_TRUE(frmStappen->isVisible());
    select(0, 5);
    grid()->edit(grid()->currentIndex());
    auto* editor = grid()->findChild<QLineEdit*>("strgrdStappenEditor");
    ASSERT_TRUE(editor);
    // With track control the stop holds the state.
    gRunWithoutTrack = 0;
    gRunWithTrack = 1;
    QTest::keyClick(editor, Qt::Key_Space);
    EXPECT_NE(gEmergencyState, 0);
    gEmergencyState = 0;
    gRunWithTrack = 0;
    gRunWithoutTrack = 1;
    frmBoodschap->close();
}

TEST_F(StepEditor, TheSaveButtonShowsItsCaptionInEveryMode) {
    QPushButton* save = frmStappen->btnOpslaan;
    for (const char* caption : {"Stappenprogramma opslaan", "Stappenprogramma verwijderen", "Stappenprogramma's opslaan",
                                "Gewijzigde tabellen opslaan"}) {
        save->setText(caption);
        EXPECT_LE(save->sizeHint().width(), save->width()) << caption;
    }
    EXPECT_TRUE(frmStappen->rect().contains(save->geometry()));
}

TEST_F(StepEditor, TheFormulaPanelAddsShowsAndPerformsFormulas) {
    StepProgramRec* p = addProgram("reken", {step(0, 0, 0, 0), step(0, 0, 0, 0)});
    open(8, p);
    select(0, 1);
    pick(frmStappen->cboConditie, kCondFormule);
    select(0, 2);
    frmStappen->Timer1Timer();
    ASSERT_FALSE(frmStappen->grpFormule->isHidden());
    EXPECT_TRUE(frmStappen->btnFmlToevoegen->isEnabled());
    EXPECT_FALSE(frmStappen->btnFmlVerwijderen->isEnabled());
    EXPECT_FALSE(frmStappen->cboA->isEnabled());
    // The panel lies between the grid and the field row.
    const QRect panel = frmStappen->grpFormule->geometry();
    EXPECT_GE(panel.top(), grid()->geometry().bottom());
    EXPECT_GE(frmStappen->edtStap->geometry().top(), panel.bottom());
    EXPECT_LE(frmStappen->edtStap->geometry().bottom(), frmStappen->height());
    frmStappen->btnFmlToevoegen->click();
    ASSERT_EQ(gFormulaCount, 1);
    EXPECT_EQ(gSteps[0]->conditionValue, 1);
    EXPECT_EQ(frmStappen->grpFormule->title(), "STAP 1  CONDITIE  FORMULE");
    EXPECT_EQ(gCurFormula, gFormulas[0]);
    EXPECT_TRUE(frmStappen->cboVergelijk->isEnabled());
    EXPECT_FALSE(frmStappen->btnUitvoeren->isEnabled());
    EXPECT_TRUE(frmStappen->cboC->isHidden());  // operation "none" has no C
    pick(frmStappen->cboBewerking, 1);
    EXPECT_FALSE(frmStappen->cboC->isHidden());

    // An action formula: counter := 7.
    select(1, 3);
    pick(frmStappen->cboActie, kActFormule);
    select(1, 4);
    frmStappen->Timer1Timer();
    frmStappen->btnFmlToevoegen->click();
    ASSERT_EQ(gFormulaCount, 2);
    EXPECT_EQ(gSteps[1]->actionValue, 2);
    EXPECT_EQ(frmStappen->grpFormule->title(), "STAP 2  ACTIE  FORMULE");
    pick(frmStappen->cboA, 5);  // "teller"
    EXPECT_TRUE(frmStappen->edtA->isHidden());
    frmStappen->edtB->selectAll();
    QTest::keyClicks(frmStappen->edtB, "7");
    QTest::keyClick(frmStappen->edtB, Qt::Key_Return);
    EXPECT_EQ(gFormulas[1]->entered[1], 7.0f);
    ASSERT_TRUE(frmStappen->btnUitvoeren->isEnabled());
    frmStappen->btnUitvoeren->click();
    EXPECT_EQ(p->counter, 7);
    EXPECT_EQ(frmStappen->lblUitkomst->text(), "7");
}

TEST_F(StepEditor, ChangedStepsAndFormulasGoToThePeers) {
    StepProgramRec* p = addProgram("net", {step(0, 0, 0, 0), step(0, 0, 0, 0)});
    open(8, p);
    gNetLinkState = 30;  // a server with a synchronised client
    select(1, 1);
    gNetOutFill = 0;
    pick(frmStappen->cboConditie, kCondIngang1);
    // Kind 15, code 37, a 10, b the step index, then the step: values 0, 0, time 0, no target, codes 1 and 0.
    const Bytes stepRecord{0x0F, 0x25, 0x0A, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00,
                           0x00, 0x00, 0xFF, 0xFF, 0x01, 0x00};
    EXPECT_EQ(Bytes(gNetOutBuffer, gNetOutBuffer + gNetOutFill), stepRecord);
    EXPECT_EQ(gChangeFlags & 0x10, 0);
    // One Enter in a value cell takes the value and sends the step: the contact 600 as its top, 496.
    gNetOutFill = 0;
    EXPECT_EQ(typeCell(1, 2, "600"), "496");
    const Bytes valueRecord{0x0F, 0x25, 0x0A, 0x00, 0x01, 0x00, 0xF0, 0x01, 0x00, 0x00,
                            0x00, 0x00, 0xFF, 0xFF, 0x01, 0x00};
    EXPECT_EQ(Bytes(gNetOutBuffer, gNetOutBuffer + gNetOutFill), valueRecord);
    EXPECT_EQ(gChangeFlags & 0x10, 0);
    select(1, 1);
    pick(frmStappen->cboConditie, kCondFormule);
    select(1, 2);
    frmStappen->Timer1Timer();
    frmStappen->btnFmlToevoegenClick();
    ASSERT_EQ(gFormulaCount, 1);
    gNetOutFill = 0;
    pick(frmStappen->cboBewerking, 3);  // "x"
    // Kind 16, code 37, a 22, b the formula's position, then 22 bytes from operand type A: the types, the
    // comparison, the operation, five zero bytes and the three entered values.
    Bytes formulaRecord{0x10, 0x25, 0x16, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03};
    formulaRecord.resize(6 + 22, 0);
    EXPECT_EQ(Bytes(gNetOutBuffer, gNetOutBuffer + gNetOutFill), formulaRecord);
}

// "Wijzigen data" (F6) and then a right click on a program's box opens it for changes, as a right click on
// the box alone does.
TEST_F(StepEditor, ARightClickOnABoxOpensItForChangesWithOrWithoutModify) {
    addProgram("pendel", {step(0, 0, 0, 0), step(0, 0, 0, 0)});
    ASSERT_EQ(saveStepProgramFile(), 1);  // closing unsaved changes reads the file again
    for (const bool viaMenu : {true, false}) {
        ASSERT_EQ(gStepProgramCount, 1);
        StepProgramRec* p = gStepPrograms[0];
        const QPoint inBox((p->box.left + p->box.right) / 2, (p->box.top + p->box.bottom) / 2);
        if (viaMenu) {
            frmSchema->mnuBouwstWijzigen->trigger();
            ASSERT_EQ(gEditMode, 8u);
        }
        clickAt(inBox, Qt::RightButton);
        ASSERT_TRUE(frmStappen->isVisible()) << viaMenu;
        EXPECT_EQ(frmStappen->windowTitle(), "Wijzigen gegevens stappenprogramma") << viaMenu;
        EXPECT_EQ(gCurStepBox, p) << viaMenu;
        frmStappen->btnAnnuleren->click();
        ASSERT_FALSE(frmStappen->isVisible());
    }
}

// After a new program is saved the box tool goes on with the next box under the pointer; Esc ends it.
TEST_F(StepEditor, EscEndsTheBoxToolAfterANewProgramIsSaved) {
    key(Qt::Key_P);
    clickAt({560, 24});
    ASSERT_TRUE(frmStappen->isVisible());
    insertAtEnd();
    insertAtEnd();
    frmStappen->btnOpslaan->click();
    ASSERT_EQ(gStepProgramCount, 1);
    ASSERT_FALSE(frmStappen->isVisible());
    // The keys are the main window's again, where the tool goes on.
    ASSERT_TRUE(processUntil([] { return QApplication::activeWindow() == frmSchema; }));
    moveTo({300, 200});
    EXPECT_NE(gEditOpRunning, 0);  // the next box follows the pointer
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : frmSchema, Qt::Key_Escape);
    EXPECT_EQ(gEditOpRunning, 0);
    EXPECT_EQ(gEditMode, 0u);
    EXPECT_EQ(gStepProgramCount, 1);
    EXPECT_FALSE(frmStappen->isVisible());
}

}  // namespace
