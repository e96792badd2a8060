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

#include "layout/dialogs/untIngang.h"
#include "layout/editor/edit_journal.h"
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
