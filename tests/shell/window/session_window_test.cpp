// A session on the real main window, driven by keys and clicks as a user would: F11 starts it, keys
// and clicks on the diagram reach the control post, F10 stops it.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QUrl>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "layout/dialogs/untSektie.h"
#include "layout/dialogs/untWissel.h"
#include "layout/draw/diagram_canvas.h"
#include "layout/draw/element_colours.h"
#include "layout/editor/editor_state.h"
#include "layout/frame/render.h"
#include "platform/canvas.h"
#include "operation/dialogs/untTijd.h"
#include "operation/model/train_model.h"
#include "operation/session_trains.h"
#include "shell/config/messages.h"
#include "shell/dialogs/untBoodschap.h"
#include "shell/model/app_state.h"
#include "shell/shell_test_support.h"
#include "shell/window/image_view.h"
#include "shell/window/untSchema.h"
#include "steps/model/step_program.h"

namespace {

class SessionWindow : public ::testing::Test {
protected:
    void SetUp() override {
        program.start();
        frmSchema->Timer1->stop();
        buildSessionLayoutWithTwoTrains();
        activate();
    }
    static void activate() {
        QApplication::setActiveWindow(frmSchema);
        ASSERT_TRUE(processUntil([] { return QApplication::activeWindow() == frmSchema; }));
    }
    static void key(Qt::Key k) { QTest::keyClick(frmSchema, k); }
    static void rightClick(QPoint p) { QTest::mouseClick(frmSchema->imgSchema, Qt::RightButton, {}, p); }
    RunningProgram program;
};

TEST_F(SessionWindow, F11StartsKeysAndClicksReachThePostAndF10Stops) {
    key(Qt::Key_F11);
    ASSERT_EQ(gRunWithoutTrack, 1);
    EXPECT_TRUE(frmSchema->grpCmdpost->isVisible());
    EXPECT_FALSE(frmSchema->grpBestand->isVisible());
    EXPECT_EQ(frmSchema->mnuMetSturing->text().toStdString(), "Stoppen sessie");
    EXPECT_EQ(frmSchema->btnLok[0]->text().toStdString(), "3");
    EXPECT_EQ(frmSchema->btnMode[0]->text().toStdString(), "M");
    EXPECT_EQ(frmSchema->btnRich[0]->text().toStdString(), "v");
    EXPECT_EQ(frmSchema->lblSnelheid[0]->text().toStdString(), "0");
    EXPECT_EQ(frmSchema->btnLok[1]->text().toStdString(), "7");
    EXPECT_FALSE(frmSchema->btnLok[2]->isEnabled());
    EXPECT_TRUE(frmBoodschap->isVisible());
    EXPECT_EQ(lastDialogMessage().substr(0, 51), "De stuurpost is gestart zonder spoorbaansturing. De");
    frmBoodschap->close();
    activate();

    key(Qt::Key_X);
    EXPECT_TRUE(frmTijd->isVisible());
    activate();
    rightClick({250, 100});
    EXPECT_TRUE(frmSektie->isVisible());
    EXPECT_EQ(gSelectedBlock, blockNumbered(1));
    EXPECT_EQ(gSelectedSection, 1);
    activate();
    rightClick({420, 100});
    EXPECT_TRUE(frmWissel->isVisible());
    EXPECT_EQ(gSelectedTurnout, turnoutNumbered(1));

    activate();
    key(Qt::Key_F10);
    EXPECT_FALSE(sessionRunning());
    EXPECT_TRUE(frmSchema->grpBestand->isVisible());
    EXPECT_FALSE(frmSchema->grpCmdpost->isVisible());
    EXPECT_FALSE(frmTijd->isVisible());
    EXPECT_FALSE(frmSektie->isVisible());
    EXPECT_EQ(frmSchema->mnuMetSturing->text().toStdString(), "Starten met spoorbaansturing");

    activate();
    key(Qt::Key_F11);
    EXPECT_EQ(gRunWithoutTrack, 1);
    EXPECT_EQ(gLocsOnTrackCount, 2);
}

TEST_F(SessionWindow, KeysDriveTheActiveLocomotiveAndLeftClicksOperateAccessories) {
    key(Qt::Key_F11);
    ASSERT_EQ(gRunWithoutTrack, 1);
    frmBoodschap->close();
    activate();
    LocoRec* three = gLocsOnTrack[0];
    key(Qt::Key_L);
    EXPECT_EQ(three->running, 1);
    key(Qt::Key_M);
    EXPECT_EQ(three->mode, kModeAuto);
    EXPECT_EQ(frmSchema->btnMode[0]->text().toStdString(), "A");
    key(Qt::Key_M);  // without a route back to "Rangeer", where the speed keys drive it directly
    EXPECT_EQ(three->mode, kModeShunting);
    EXPECT_EQ(frmSchema->btnMode[0]->text().toStdString(), "R");
    key(Qt::Key_R);
    EXPECT_EQ(three->direction, 'a');
    EXPECT_EQ(frmSchema->btnRich[0]->text().toStdString(), "a");
    for (int i = 0; i < 3; ++i) key(Qt::Key_Up);
    EXPECT_EQ(three->targetStep, 3);
    EXPECT_EQ(frmSchema->lblSnelheid[0]->text().toStdString(), "13");  // entry 3 x 126 / 28 of the table

    auto leftClick = [](QPoint p) { QTest::mouseClick(frmSchema->imgSchema, Qt::LeftButton, {}, p); };
    leftClick({420, 100});
    EXPECT_EQ(turnoutNumbered(1)->position, 'R');
    EXPECT_EQ(gDiagramCanvas->Pixel(432, 124), kRedColour);  // the diverging leg is the active one
    leftClick({320, 90});
    EXPECT_EQ(signalNumbered(5)->aspect, 'S');
    EXPECT_EQ(gDiagramCanvas->Pixel(320, 90), kMagentaColour);  // the lamp of a forced red
    leftClick({620, 110});
    EXPECT_EQ(gStepPrograms[0]->state, 1);
}

// The control post covers the strip at the top of the window: what the editor drew there on the
// window itself (its tool bar, the HEEN/TERUG legend beside the file panel) and its pointer read-outs
// do not show through the group box, not even after "Opfrissen". The window grabbed over a canvas
// painted black in that strip, with other read-outs, looks the same as before.
TEST_F(SessionWindow, NothingTheEditorDrewShowsThroughTheControlPost) {
    redrawSchema(1);
    key(Qt::Key_F11);
    ASSERT_EQ(gRunWithoutTrack, 1);
    frmBoodschap->close();
    activate();
    redrawSchema(1);  // "Opfrissen"
    QWidget* post = frmSchema->grpCmdpost;
    ASSERT_TRUE(post->isVisible());
    auto strip = [post] {
        QApplication::processEvents();
        return frmSchema->grab(QRect(post->mapTo(frmSchema, QPoint(0, 0)), post->size())).toImage();
    };
    frmSchema->lblCurPos->setText("368.2 / 65.3");
    frmSchema->lblLijnlengte->setText("12 cm");
    const QImage asDrawn = strip();
    frmSchema->lblCurPos->setText("999.9 / 999.9");
    frmSchema->lblLijnlengte->setText("999 cm");
    {
        QPainter painter(&frmSchema->ClientArea->Canvas.image());
        painter.fillRect(post->geometry(), Qt::black);
    }
    frmSchema->ClientArea->update();
    const QImage overBlack = strip();
    ASSERT_EQ(asDrawn.size(), overBlack.size());
    int differ = 0;
    for (int y = 0; y < asDrawn.height(); ++y)
        for (int x = 0; x < asDrawn.width(); ++x) differ += asDrawn.pixel(x, y) != overBlack.pixel(x, y);
    EXPECT_EQ(differ, 0);
}

// Records the pages the desktop is asked to open.
class OpenedUrls : public QObject {
    Q_OBJECT
public:
    OpenedUrls() { QDesktopServices::setUrlHandler("file", this, "open"); }
    ~OpenedUrls() override { QDesktopServices::unsetUrlHandler("file"); }
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

TEST_F(SessionWindow, AClickOnASpeedOrWaitLabelDrivesWithoutHelpWhichStaysOnTheGroupAndItsLegend) {
    key(Qt::Key_F11);
    ASSERT_EQ(gRunWithoutTrack, 1);
    frmBoodschap->close();
    activate();
    OpenedUrls urls;
    auto click = [](QWidget* w, QPoint p) {
        QTest::mousePress(w, Qt::LeftButton, {}, p);
        EXPECT_NE(gPendingKey, 0);  // repeated while held, only on the labels
        QTest::mouseRelease(w, Qt::LeftButton, {}, p);
    };
    click(frmSchema->lblSnelheid[0], {15, 6});
    click(frmSchema->lblPauze[1], {15, 6});
    EXPECT_EQ(gPendingKey, 0);
    EXPECT_TRUE(urls.opened.isEmpty());

    QTest::mouseClick(frmSchema->lblSnelh, Qt::LeftButton, {}, {10, 6});
    QTest::mouseClick(frmSchema->grpCmdpost, Qt::LeftButton, {}, {50, 3});
    ASSERT_EQ(urls.opened.size(), 2) << "once for each click";
    for (const QUrl& url : urls.opened) EXPECT_EQ(url.fragment().toStdString(), "_Commandopost");
}

}  // namespace

#include "session_window_test.moc"
