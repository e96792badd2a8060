// The element property dialogs on the running program: their fields, refusals and "+/-" panels, what OK
// stores, journals and sends to network peers, and what closing leaves the editor.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <vector>

#include "layout/dialogs/untIngang.h"
#include "layout/dialogs/untSpoor.h"
#include "layout/dialogs/untUitgang.h"
#include "layout/dialogs/untWissel.h"
#include "layout/dialogs/untSein.h"
#include "layout/editor/edit_journal.h"
#include "layout/model/double_turnouts.h"
#include "layout/editor/editor_state.h"
#include "layout/layout_builder.h"
#include "layout/model/layout_model.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "shell/config/messages.h"
#include "shell/dialogs/untBoodschap.h"
#include "shell/model/app_state.h"
#include "shell/shell_test_support.h"
#include "shell/window/untSchema.h"

namespace {

class ElementDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        program.start();
        emptyEditJournal();
    }
    void TearDown() override {
        gNetLinkState = 0;
        gNetOutFill = 0;
    }
    // A message shown by a refusal: its text, then the user closes it.
    static std::string takeMessage() {
        const std::string text = frmBoodschap->isVisible() ? frmBoodschap->tekst() : std::string();
        if (frmBoodschap->isVisible()) frmBoodschap->btnOK->click();
        return text;
    }
    static void type(QLineEdit* field, const QString& text) {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
    }
    static void pressPanel(QWidget* panel, Qt::MouseButton button) { QTest::mousePress(panel, button); }
    // The bytes queued for the network peers since the buffer was emptied.
    static std::vector<uint8_t> queued() { return {gNetOutBuffer, gNetOutBuffer + gNetOutFill}; }
    RunningProgram program;
};

TEST_F(ElementDialogs, InputNumbersAreUniqueAndTheChangeIsJournalled) {
    LayoutBuilder().input(5, {100, 100}).input(7, {200, 100}).input(496, {300, 100});
    gSelectedInput = gInputs[0];
    gEditMode = kEditClickOpens;
    frmIngang->show();
    EXPECT_EQ(gActiveDialog, 10);
    EXPECT_EQ(frmIngang->windowTitle(), "Nummer ingang S88");
    EXPECT_EQ(frmIngang->edtNummer->text(), "5");
    EXPECT_TRUE(frmIngang->btnOK->isEnabled());
    EXPECT_FALSE(frmIngang->pnlPlusMin->isHidden());

    type(frmIngang->edtNummer, "7");
    frmIngang->btnOK->click();
    EXPECT_EQ(takeMessage(), "Het nummer is reeds gebruikt !");
    EXPECT_TRUE(frmIngang->isVisible());
    EXPECT_EQ(gInputs[0]->number, 5);

    // "+/-" skips the numbers of other inputs and never leaves 1..496.
    pressPanel(frmIngang->pnlPlusMin, Qt::LeftButton);  // 7 -> 8
    EXPECT_EQ(frmIngang->edtNummer->text(), "8");
    type(frmIngang->edtNummer, "495");
    pressPanel(frmIngang->pnlPlusMin, Qt::LeftButton);  // 496 is taken, 497 is outside
    EXPECT_EQ(frmIngang->edtNummer->text(), "495");
    type(frmIngang->edtNummer, "6");
    pressPanel(frmIngang->pnlPlusMin, Qt::RightButton);  // 5 is the input's own number
    EXPECT_EQ(frmIngang->edtNummer->text(), "5");

    // Its own number is accepted; a new one is stored, journalled as changed and undone.
    frmIngang->btnOK->click();
    EXPECT_FALSE(frmIngang->isVisible());
    EXPECT_EQ(gEditMode, 0u);
    EXPECT_EQ(gActiveDialog, 0);
    frmIngang->show();
    type(frmIngang->edtNummer, "12");
    frmIngang->btnOK->click();
    EXPECT_EQ(gInputs[0]->number, 12);
    EXPECT_NE(gDirtyFlags & 2, 0);
    ASSERT_GT(journalUndoRedo(0), 0);
    EXPECT_EQ(gInputs[0]->number, 5);
}

// The track's flags go through the journal: an undo takes back the dialog's change, and only it, before
// an older edit of the track.
TEST_F(ElementDialogs, TrackLoopAndLayerAreJournalled) {
    LayoutBuilder().track({{100, 100}, {200, 100}});
    TrackRec& t = *gTracks[0];
    const TrackRec drawn = t;
    t.points[1] = {220, 100};  // an earlier edit: the track lengthened
    journalRecordEdit('w', &t, &drawn, 0, 0);
    t.flags = 4 | 16;  // as a damaged file could give it: two layers

    gSelectedTrack = &t;
    gEditMode = kEditClickOpens;
    frmSpoor->show();
    EXPECT_EQ(gActiveDialog, 5);
    EXPECT_TRUE(frmSpoor->radbtnLaag[3]->isChecked());
    EXPECT_FALSE(frmSpoor->chboKeerlus->isChecked());
    frmSpoor->radbtnLaag[2]->click();
    frmSpoor->chboKeerlus->click();
    frmSpoor->btnOK->click();
    EXPECT_EQ(t.flags, 1 | 8);
    EXPECT_NE(gDirtyFlags & 1, 0);
    EXPECT_EQ(gEditMode, 0u);

    ASSERT_GT(journalUndoRedo(0), 0);
    EXPECT_EQ(gTracks[0]->flags, 4 | 16);
    EXPECT_EQ(gTracks[0]->points[1], (DiagramPoint{220, 100}));
    ASSERT_GT(journalUndoRedo(0), 0);
    EXPECT_EQ(gTracks[0]->points[1], (DiagramPoint{200, 100}));
}

TEST_F(ElementDialogs, OutputKeysAndTheDecoderFieldsInEveryPath) {
    LayoutBuilder().output(5, 'R', {100, 100}).output(1500, 'G', {200, 100});
    OutputRec& red5 = *gOutputs[0];
    ASSERT_EQ(red5.key, 10);
    gSelectedOutput = gOutputs[1];
    gEditMode = kEditClickOpens;
    frmUitgang->show();
    EXPECT_EQ(gActiveDialog, 9);
    EXPECT_EQ(frmUitgang->edtNummer->text(), "1500");
    EXPECT_EQ(frmUitgang->cboDrukknop->currentText(), "groen");
    EXPECT_FALSE(frmUitgang->edtPulstijd->isHidden());  // shown on activation
    EXPECT_FALSE(frmUitgang->cboDecoder->isHidden());
    type(frmUitgang->edtNummer, "2048");
    EXPECT_TRUE(frmUitgang->edtPulstijd->isHidden());
    EXPECT_TRUE(frmUitgang->lblDecoder->isHidden());
    type(frmUitgang->edtNummer, "1500");  // and shown again by typing
    EXPECT_FALSE(frmUitgang->edtPulstijd->isHidden());
    EXPECT_FALSE(frmUitgang->lblPulstijd->isHidden());

    // Address 5 green (key 11) stands beside address 5 red (key 10); red is refused.
    type(frmUitgang->edtNummer, "5");
    frmUitgang->cboDrukknop->setCurrentIndex(0);
    frmUitgang->btnOKClick();
    EXPECT_EQ(takeMessage(), "Het adres is reeds gebruikt !");
    frmUitgang->cboDrukknop->setCurrentIndex(1);
    type(frmUitgang->edtPulstijd, "70");
    EXPECT_EQ(frmUitgang->edtPulstijd->text(), "50");
    frmUitgang->cboDecoder->setCurrentIndex(1);
    frmUitgang->btnOKClick();
    EXPECT_FALSE(frmUitgang->isVisible());
    EXPECT_EQ(gOutputs[1]->key, 11);
    EXPECT_EQ(gOutputs[1]->pulseTime, 50);
    EXPECT_EQ(gAccessoryState[2].protocol, 1);  // address 5: decoder entry (5 - 1) / 4 + 1
    ASSERT_GT(journalUndoRedo(0), 0);
    EXPECT_EQ(gOutputs[1]->key, 3001);

    // "+/-" skips the key of the other output.
    gSelectedOutput = gOutputs[1];
    frmUitgang->show();
    type(frmUitgang->edtNummer, "4");
    frmUitgang->cboDrukknop->setCurrentIndex(1);
    pressPanel(frmUitgang->pnlPlusMin, Qt::LeftButton);  // key 9 -> 10 taken by red 5 -> 11
    EXPECT_EQ(frmUitgang->edtNummer->text(), "5");
    EXPECT_EQ(frmUitgang->cboDrukknop->currentIndex(), 1);
    frmUitgang->close();
}

TEST_F(ElementDialogs, DuringASessionOkStoresThePulseTimeAndSendsIt) {
    LayoutBuilder().output(5, 'R', {100, 100}).output(7, 'G', {200, 100});
    gRunWithoutTrack = 1;
    for (const uint8_t state : {30, 40}) {
        SCOPED_TRACE(int(state));
        gNetLinkState = state;
        gNetOutFill = 0;
        gSelectedOutput = gOutputs[1];
        frmUitgang->show();
        EXPECT_TRUE(frmUitgang->pnlPlusMin->isHidden());
        EXPECT_FALSE(frmUitgang->cboDecoder->isEnabled());
        type(frmUitgang->edtPulstijd, "12");
        frmUitgang->btnOKClick();
        EXPECT_EQ(gOutputs[1]->pulseTime, 12);
        // Kind 8, code 37, address 7 (key 15), table index 1, pulse time 12: one record for the role that
        // matches; the server finds the output by its address.
        EXPECT_EQ(queued(), (std::vector<uint8_t>{8, 37, 7, 0, 1, 0, 12, 0}));
        EXPECT_EQ(gEditMode, 0u);
    }
    // Typing another address selects that output.
    frmUitgang->show();
    type(frmUitgang->edtNummer, "5");
    EXPECT_EQ(gSelectedOutput, gOutputs[0]);
    frmUitgang->close();
    gRunWithoutTrack = 0;
}

TEST_F(ElementDialogs, TurnoutFieldsByNumberAndDoubleTurnouts) {
    LayoutBuilder()
        .turnout('l', 5, {{100, 100}, {132, 100}, {130, 92}})
        .turnout('r', 3005, {{200, 100}, {232, 100}, {230, 108}})
        .turnout('l', 7, {{300, 100}, {332, 100}, {330, 92}})
        .signal(9, 1, 'H');
    gSelectedTurnout = turnoutNumbered(3005);
    gEditMode = kEditClickOpens;
    frmWissel->show();
    EXPECT_EQ(gActiveDialog, 7);
    EXPECT_EQ(frmWissel->windowTitle(), "Gegevens Wissel");
    struct Shown {
        const char* number;
        bool decoder, pair;
    } cases[] = {{"2047", true, false}, {"2048", false, false}, {"3001", false, true}, {"3005", false, true}};
    for (const Shown& c : cases) {
        type(frmWissel->edtNummer, c.number);
        EXPECT_EQ(!frmWissel->edtPulstijd->isHidden(), c.decoder) << c.number;
        EXPECT_EQ(!frmWissel->cboDecoder->isHidden(), c.decoder) << c.number;
        EXPECT_EQ(!frmWissel->chboDubwis->isHidden(), c.pair) << c.number;
        EXPECT_EQ(!frmWissel->chboInvers->isHidden(), c.pair) << c.number;
    }
    // 3006 has no turnout 6 to pair with.
    type(frmWissel->edtNummer, "3006");
    frmWissel->chboDubwis->click();
    EXPECT_FALSE(frmWissel->chboDubwis->isChecked());
    EXPECT_EQ(takeMessage(), "Er is geen overeenkomstig nummer !");
    // A signal's number is taken.
    type(frmWissel->edtNummer, "9");
    frmWissel->btnOKClick();
    EXPECT_EQ(takeMessage(), "Dit nummer is reeds gebruikt !");
    // 3005 paired with 5 (and inverted) moves to the end with a link to turnout 5's index + 1.
    type(frmWissel->edtNummer, "3005");
    frmWissel->chboDubwis->click();
    ASSERT_TRUE(frmWissel->chboDubwis->isChecked());
    frmWissel->chboInvers->click();
    frmWissel->btnOKClick();
    EXPECT_FALSE(frmWissel->isVisible());
    ASSERT_EQ(gTurnouts[2]->number, 3005);
    EXPECT_EQ(gTurnouts[2]->partner, 1);
    EXPECT_EQ(gTurnouts[2]->options & 1, 1);
    EXPECT_EQ(gTurnouts[1]->number, 7);
    EXPECT_EQ(findTurnoutPartner(gTurnouts[0], 0), 3);  // the control post's question, from member 5
    EXPECT_EQ(findTurnoutPartner(gTurnouts[2], 0), 1);
    // Undone: 3005 back in its old place.
    ASSERT_GT(journalUndoRedo(0), 0);
    EXPECT_EQ(gTurnouts[1]->number, 3005);
}

TEST_F(ElementDialogs, TurnoutStandAndModeCaptionsAndTheSessionRecord) {
    LayoutBuilder().turnout('l', 5, {{100, 100}, {132, 100}, {130, 92}});
    gSelectedTurnout = gTurnouts[0];
    gEditMode = kEditClickOpens;
    frmWissel->show();
    EXPECT_EQ(frmWissel->btnStand->text(), "Rechtdoor");
    EXPECT_EQ(frmWissel->btnMode->text(), "Auto");
    frmWissel->btnStand->click();
    EXPECT_EQ(gTurnouts[0]->position, 'R');
    EXPECT_EQ(frmWissel->btnStand->text(), "Afdraaien");
    frmWissel->close();
    EXPECT_EQ(gEditMode, 0u);

    gRunWithoutTrack = 1;
    for (const uint8_t state : {30, 40}) {
        SCOPED_TRACE(int(state));
        gNetLinkState = state;
        gNetOutFill = 0;
        frmWissel->show();
        EXPECT_TRUE(frmWissel->pnlPlusMin->isHidden());
        type(frmWissel->edtPulstijd, "7");
        frmWissel->btnOKClick();
        EXPECT_EQ(gTurnouts[0]->pulseTime, 7);
        // Kind 6, code 37, number 5, table index 0, pulse time 7.
        EXPECT_EQ(queued(), (std::vector<uint8_t>{6, 37, 5, 0, 0, 0, 7, 0}));
    }
    gRunWithoutTrack = 0;
}

TEST_F(ElementDialogs, SignalNumbersBlockAndStand) {
    LayoutBuilder()
        .block(1, {{100, 100}, {200, 100}, {300, 100}})
        .block(2, {{100, 300}, {200, 300}, {300, 300}})
        .turnout('l', 4, {{400, 100}, {432, 100}, {430, 92}})
        .signal(5, 1, 'H', {290, 100});
    SignalRec& s = *gSignals[0];
    gSelectedSignal = &s;
    gEditMode = kEditClickOpens;
    frmSein->show();
    EXPECT_EQ(gActiveDialog, 8);
    EXPECT_EQ(frmSein->edtNummer->text(), "5");
    EXPECT_EQ(frmSein->edtBlokNr->text(), "1");
    EXPECT_TRUE(frmSein->btnOK->isEnabled());
    // A block with no end section at the signal leaves OK disabled.
    type(frmSein->edtBlokNr, "2");
    EXPECT_FALSE(frmSein->btnOK->isEnabled());
    type(frmSein->edtBlokNr, "1");
    EXPECT_TRUE(frmSein->btnOK->isEnabled());
    // The Stand cycles G, R, S, G without an orange light and G, O, R, S, G with one.
    std::string seen;
    for (int k = 0; k < 3; ++k) {
        frmSein->btnStand->click();
        seen += s.aspect;
    }
    EXPECT_EQ(seen, "RSG");
    EXPECT_EQ(frmSein->btnStand->text(), "Groen");
    frmSein->chboOranjeLicht->click();
    EXPECT_EQ(frmSein->edtNrOranjeLicht->text(), "6");  // the next free number after 5
    seen.clear();
    for (int k = 0; k < 4; ++k) {
        frmSein->btnStand->click();
        seen += s.aspect;
    }
    EXPECT_EQ(seen, "ORSG");
    // "+/-" of the signal's number skips its orange light's 6 (and the turnout's 4 downward).
    pressPanel(frmSein->pnlPlusMin1, Qt::LeftButton);
    EXPECT_EQ(frmSein->edtNummer->text(), "7");
    // Orange equal to the number: OK does nothing; a turnout's number is refused.
    type(frmSein->edtNrOranjeLicht, "7");
    frmSein->btnOKClick();
    EXPECT_TRUE(frmSein->isVisible());
    EXPECT_EQ(takeMessage(), "");
    type(frmSein->edtNrOranjeLicht, "4");
    frmSein->btnOKClick();
    EXPECT_EQ(takeMessage(), "Nummer oranje licht is reeds gebruikt !");
    type(frmSein->edtNrOranjeLicht, "8");
    type(frmSein->edtNummer, "2048");
    EXPECT_TRUE(frmSein->edtPulstijd->isHidden());
    type(frmSein->edtNummer, "7");
    frmSein->btnOKClick();
    EXPECT_FALSE(frmSein->isVisible());
    EXPECT_EQ(s.number, 7);
    EXPECT_EQ(s.orangeNumber, 8);
    ASSERT_GT(journalUndoRedo(0), 0);
    EXPECT_EQ(gSignals[0]->number, 5);

    gRunWithoutTrack = 1;
    for (const uint8_t state : {30, 40}) {
        SCOPED_TRACE(int(state));
        gNetLinkState = state;
        gNetOutFill = 0;
        gSelectedSignal = gSignals[0];
        frmSein->show();
        type(frmSein->edtPulstijd, "3");
        frmSein->btnOKClick();
        // Kind 7, code 37, number 5, table index 0, pulse time 3.
        EXPECT_EQ(queued(), (std::vector<uint8_t>{7, 37, 5, 0, 0, 0, 3, 0}));
    }
    gRunWithoutTrack = 0;
}

TEST_F(ElementDialogs, OkIsIgnoredWhileAMessageIsShown) {
    LayoutBuilder().input(5, {100, 100});
    gSelectedInput = gInputs[0];
    gEditMode = kEditClickOpens;
    frmIngang->show();
    showDialogMessage("Clock niet stabiel : 30 - 38", 1);
    ASSERT_TRUE(processUntil([] { return gMessageShown == 1; }));
    type(frmIngang->edtNummer, "9");
    frmIngang->btnOK->click();
    EXPECT_TRUE(frmIngang->isVisible());
    EXPECT_EQ(gInputs[0]->number, 5);
    takeMessage();
    frmIngang->btnOK->click();
    EXPECT_EQ(gInputs[0]->number, 9);
}

}  // namespace
