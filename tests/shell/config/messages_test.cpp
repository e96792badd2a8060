// Messages, the confirmation question, the status line, panels, highlights and the pointer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include "network/model/net_state.h"
#include "operation/control/control_post.h"
#include "platform/canvas.h"
#include "shell/model/app_state.h"
#include "shell/window/control_highlight.h"
#include "shell/window/schema_canvas.h"
#include "shell/window/image_view.h"
#include "shell/model/input_state.h"
#include "shell/config/messages.h"
#include "shell/window/mouse_pointer.h"
#include "shell/window/panel_3d.h"
#include "shell/window/status_line.h"
#include "shell/dialogs/untBevestig.h"
#include "shell/dialogs/untBoodschap.h"
#include "shell/window/untSchema.h"
#include "shell/shell_test_support.h"

namespace {

TEST(Messages, DroppedWhileTheMainWindowIsNotVisible) {
    RunningProgram p;
    p.start(false);
    EXPECT_EQ(showDialogMessage("Te vroeg", 1), 0);
    EXPECT_FALSE(frmBoodschap->isVisible());
    EXPECT_EQ(lastDialogMessage(), "Te vroeg");
}

struct ModeRow {
    int mode;
    const char* text;
    int result;
    const char* windowText;
    bool shown;
};

TEST(Messages, ModesSetAppendAndShowTheMessageWindow) {
    RunningProgram p;
    p.start();
    const std::vector<ModeRow> rows = {
        {3, "Eerst", 0, "Eerst", false},         // set only
        {4, " en dan", 0, "Eerst en dan", false},  // append only
        {0, "Nieuw", 1, "Nieuw", true},           // replace and show
        {5, " erbij", 0, "Nieuw erbij", true},     // append and show
        {1, "Anders", 1, "Anders", true},
    };
    for (const ModeRow& r : rows) {
        SCOPED_TRACE(r.mode);
        EXPECT_EQ(showDialogMessage(r.text, r.mode), r.result);
        EXPECT_EQ(frmBoodschap->tekst(), r.windowText);
        EXPECT_EQ(frmBoodschap->lblTekst->text().toStdString(), r.windowText);
        EXPECT_EQ(frmBoodschap->isVisible(), r.shown);
    }
    EXPECT_EQ(gMessageShown, 1);
}

TEST(Messages, TextIsWindowsTextAtTheWidget) {
    RunningProgram p;
    p.start();
    showDialogMessage("Locomotief \xE9\xE9n", 1);  // "é" in code page 1252
    EXPECT_EQ(frmBoodschap->lblTekst->text(), QString::fromUtf8("Locomotief één"));
}

TEST(Messages, QuestionAnswersJaAndNee) {
    RunningProgram p;
    p.start();
    whenModal([](QWidget* modal) { clickButton(modal, "btnJa"); });
    EXPECT_EQ(showDialogMessage("Opslaan ?", 2), 1);
    EXPECT_EQ(frmBevestig->lblTekst->text().toStdString(), "Opslaan ?");

    whenModal([](QWidget* modal) { clickButton(modal, "btnNee"); });
    EXPECT_EQ(showDialogMessage("Opslaan ?", 2), 0);

    std::string asked;
    whenModal([&](QWidget* modal) {
        asked = frmBevestig->lblTekst->text().toStdString();
        pressKey(modal, Qt::Key_Escape);  // Esc is "Nee"
    });
    EXPECT_EQ(showDialogMessage("", 2), 0);
    EXPECT_EQ(asked, "Bent u zeker ?");
}

TEST(Messages, ClosingTheMessageReleasesAnEmergencyStop) {
    RunningProgram p;
    p.start();
    showDialogMessage("Noodstop", 1);
    gEmergencyState = 1;
    gNoFeedbackPoll = 1;
    pressKey(frmBoodschap, Qt::Key_Escape);  // Esc is OK
    EXPECT_FALSE(frmBoodschap->isVisible());
    EXPECT_EQ(gEmergencyState, 0);
    EXPECT_EQ(gNoFeedbackPoll, 0);
    EXPECT_EQ(gMessageShown, 0);
}

TEST(Messages, AnActivationArrivingAfterTheCloseDoesNotMarkTheMessageShown) {
    RunningProgram p;
    p.start();
    showDialogMessage("Dit punt is reeds bezet !", 1);
    pressKey(frmBoodschap, Qt::Key_Escape);
    ASSERT_FALSE(frmBoodschap->isVisible());
    frmBoodschap->FormActivate();  // the window system's late activation
    EXPECT_EQ(gMessageShown, 0);
}

TEST(Messages, OnASynchronisedClientOkDuringAStopKeepsTheMessageOpen) {
    RunningProgram p;
    p.start();
    showDialogMessage("Noodstop", 1);
    gEmergencyState = 1;
    gNetLinkState = 40;
    frmBoodschap->btnOK->click();
    EXPECT_TRUE(frmBoodschap->isVisible());
    EXPECT_EQ(gEmergencyState, 1);
    gNetLinkState = 0;
    frmBoodschap->btnOK->click();
    EXPECT_FALSE(frmBoodschap->isVisible());
}

TEST(Messages, SpaceInTheMessageStopsAllTrainsDuringASession) {
    RunningProgram p;
    p.start();
    showDialogMessage("Let op", 1);
    gRunWithTrack = 1;
    pressKey(frmBoodschap, Qt::Key_Space);
    EXPECT_NE(gEmergencyState, 0);
    EXPECT_TRUE(frmBoodschap->isVisible());  // the space is used up, OK is not pressed
}

TEST(Messages, OutOfMemoryShowsItsMessageAndClosesTheMainWindow) {
    RunningProgram p;
    p.start();
    std::string shown;
    whenModal([&](QWidget* modal) {
        shown = frmBoodschap->lblTekst->text().toStdString();
        clickButton(modal, "btnOK");
    });
    fatalOutOfMemory();
    EXPECT_EQ(shown, "Er is te weinig geheugen (malloc). Het programma zal afgesloten worden !");
    EXPECT_FALSE(frmSchema->isVisible());
}

TEST(StatusLine, TextIsCutAtOneHundredSixtyCharacters) {
    resetShellState();
    setStatusLine(std::string(200, 'a'), 1);
    EXPECT_EQ(gStatusText, std::string(160, 'a'));
    setStatusLine(std::string(150, 'b'), 1);
    setStatusLine(std::string(20, 'c'), 2);
    EXPECT_EQ(gStatusText, std::string(150, 'b') + std::string(10, 'c'));
    resetShellState();
}

TEST(StatusLine, DrawnAsARedPanelOverTheStatusStripAndClearedAgain) {
    RunningProgram p;
    p.start();
    const int w = gCanvasSize.width, h = gCanvasSize.height;
    ASSERT_EQ(h, frmSchema->ClientArea->height());
    setStatusLine("Klik op de bouwsteen", 0);
    const vestrel::Canvas& c = *mainWindowCanvas();
    const int top = h - 12 - 11;
    EXPECT_EQ(gStatusLineShown, 1);
    EXPECT_EQ(gStatusText, "Klik op de bouwsteen");
    EXPECT_TRUE(frmSchema->grpStatusTekenpost->isHidden());
    EXPECT_EQ(c.Pixel(3, top + 2), vestrel::clRed);
    EXPECT_EQ(c.Pixel(w - 10, top + 1), vestrel::clWhite);
    EXPECT_EQ(c.Pixel(w / 2, h - 1), vestrel::clBlack);
    EXPECT_EQ(c.Pixel(w - 2, top + 5), vestrel::rgb(128, 128, 128));
    bool whiteText = false;
    for (int x = 11; x < 100; ++x)
        for (int y = top + 5; y < top + 17; ++y) whiteText |= c.Pixel(x, y) == vestrel::clWhite;
    EXPECT_TRUE(whiteText);

    setStatusLine("Anders", 0);  // while shown, the stored text is drawn again
    EXPECT_EQ(gStatusText, "Klik op de bouwsteen");

    clearStatusLine();
    EXPECT_EQ(gStatusLineShown, 0);
    EXPECT_FALSE(frmSchema->grpStatusTekenpost->isHidden());
    EXPECT_EQ(c.Pixel(3, top + 2), vestrel::clBtnFace);
}

TEST(Panel3d, EdgesAndFace) {
    vestrel::Canvas c(30, 20, vestrel::clBlue);
    draw3dPanel(2, 3, 22, 13, vestrel::clRed, c);
    EXPECT_EQ(c.Pixel(4, 5), vestrel::clRed);             // face from (left+2, top+2)
    EXPECT_EQ(c.Pixel(19, 10), vestrel::clRed);           // up to (right-2, bottom-2)
    EXPECT_EQ(c.Pixel(22, 4), vestrel::clWhite);          // white from (right, top+1) ...
    EXPECT_EQ(c.Pixel(3, 4), vestrel::clWhite);           // ... to (left+1, top+1) ...
    EXPECT_EQ(c.Pixel(3, 12), vestrel::clWhite);          // ... down to (left+1, bottom-1)
    EXPECT_EQ(c.Pixel(4, 12), vestrel::rgb(128, 128, 128));  // grey along the bottom inside
    EXPECT_EQ(c.Pixel(21, 6), vestrel::rgb(128, 128, 128));  // and the right inside
    EXPECT_EQ(c.Pixel(3, 13), vestrel::clBlack);          // black bottom edge
    EXPECT_EQ(c.Pixel(22, 5), vestrel::clBlack);          // black right edge
    EXPECT_EQ(c.Pixel(2, 3), vestrel::clBlue);            // the corner is left alone
    EXPECT_EQ(c.Pixel(23, 13), vestrel::clBlue);
}

TEST(Highlight, FrameFollowsTheTag) {
    QToolButton button;
    button.resize(32, 14);
    EXPECT_EQ(button.property("Tag").toInt(), 0);
    drawControlHighlight(&button, 1);
    EXPECT_EQ(button.property("Tag").toInt(), 1);
    QImage on = button.grab().toImage();
    EXPECT_EQ(on.pixelColor(1, 1), QColor(Qt::yellow));
    EXPECT_EQ(on.pixelColor(30, 12), QColor(Qt::yellow));
    drawControlHighlight(&button, 0);
    EXPECT_EQ(button.property("Tag").toInt(), 0);
    EXPECT_NE(button.grab().toImage().pixelColor(1, 1), QColor(Qt::yellow));
}

TEST(Pointer, HiddenShownAndMovedLogicallyWhereTheDisplayDoesNotAllowIt) {
    RunningProgram p;
    p.start();
    hideMousePointer();
    EXPECT_EQ(frmSchema->cursor().shape(), Qt::BlankCursor);
    EXPECT_EQ(gPointerShown, 0);
    showMousePointer();
    EXPECT_EQ(frmSchema->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(gPointerShown, 1);
    EXPECT_EQ(moveMouseToPoint(120, 80), 0);  // offscreen: nothing to move
    EXPECT_EQ(gMousePoint, (DiagramPoint{120, 80}));
}

}  // namespace
