// The route dialog's session view on the real main window: the route of a locomotive on the track with
// its line marked, another route given to it, edited lines and route changes sent as records, the
// locomotive moved on to the next line of its block; a view never keeps a locomotive gone from the track.
#include <gtest/gtest.h>

#include <QApplication>
#include <QAbstractItemView>
#include <QComboBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <memory>
#include <vector>

#include "layout/layout_builder.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "operation/control/control_post.h"
#include "operation/control/emergency_stop.h"
#include "operation/control/loco_operation.h"
#include "operation/dialogs/untTraject.h"
#include "operation/model/route_editor_state.h"
#include "operation/model/route_file.h"
#include "operation/model/train_model.h"
#include "operation/session_trains.h"
#include "shell/config/messages.h"
#include "shell/dialogs/untBoodschap.h"
#include "shell/main/session.h"
#include "shell/model/app_state.h"
#include "shell/shell_test_support.h"
#include "shell/window/untSchema.h"

namespace {

using Bytes = std::vector<uint8_t>;

class RouteSessionView : public ::testing::Test {
protected:
    void SetUp() override {
        program.start();
        frmSchema->Timer1->stop();
        // Connections 0: 1 -> 2 and 1: 2 -> 1.
        LayoutBuilder()
            .block(1, {{100, 100}, {200, 100}, {300, 100}})
            .block(2, {{100, 200}, {200, 200}, {300, 200}})
            .connection(1, 2, 'H')
            .connection(2, 1, 'T');
        gLocoFileName = "test.loc";
        writeSessionLocoFile("test.loc", twoTrains());
        gDirtyFlags = 0;
        ASSERT_EQ(toggleControlPostSession(13), 1);
        ASSERT_EQ(gLocsOnTrackCount, 2);
        round = addRoute("Rond", {0, 1, 0, 1});
        back = addRoute("Terug", {1, 0});
        three = gLocsOnTrack[0];
        three->route = round;
        three->run.currentLine = 0;
        three->mode = kModeRoute;
        gActiveRow = 0;
        gNetLinkState = 30;  // a synchronised client listens: the server's records are queued
        gNetOutFill = 0;
        QApplication::setActiveWindow(frmSchema);
        ASSERT_TRUE(processUntil([] { return QApplication::activeWindow() == frmSchema; }));
    }
    void TearDown() override {
        frmTraject->close();
        gNetLinkState = 0;
        gNetOutFill = 0;
    }
    static RouteRec* addRoute(const char* name, std::initializer_list<int> connections) {
        RouteRec* r = gRoutes.append(std::make_unique<RouteRec>());
        r->firstLine = r->endLine = gRouteLineCount;
        std::snprintf(r->name, sizeof r->name, "%s", name);
        for (int c : connections) {
            gRouteLines.append(std::make_unique<RouteLineRec>())->connection = c;
            ++r->endLine;
        }
        return r;
    }
    static Bytes queued() { return queuedNetBytes(); }
    static QString blockCell(int row) {
        const QTableWidgetItem* item = frmTraject->strgrdTraject->item(row - 1, 0);
        return item ? item->text() : QString();
    }
    RunningProgram program;
    RouteRec* round = nullptr;
    RouteRec* back = nullptr;
    LocoRec* three = nullptr;
};

TEST_F(RouteSessionView, F4ShowsTheRouteAndMarksTheTrainsLine) {
    QTest::keyClick(frmSchema, Qt::Key_F4);
    ASSERT_TRUE(frmTraject->isVisible());
    EXPECT_EQ(frmTraject->windowTitle(), "Trajecttabellen (dienstregeling)");
    EXPECT_EQ(frmTraject->btnAnnuleren->text(), "Afsluiten");
    EXPECT_EQ(frmTraject->cboTrajectNaam->itemText(0), "*** geen ***");
    EXPECT_EQ(frmTraject->cboTrajectNaam->currentIndex(), 1);
    EXPECT_EQ(gCurRoute, round);
    EXPECT_EQ(blockCell(1), "1");
    EXPECT_EQ(blockCell(2), "2");
    EXPECT_EQ(gRouteMarkRow, 1);
    EXPECT_TRUE(frmTraject->btnVolgendBlok->isEnabled());
    EXPECT_FALSE(frmTraject->cboTrajectNaam->isEnabled());  // not while the train runs its route
    // The marked block cell is inverted in blue: white becomes blue.
    QTableWidget* grid = frmTraject->strgrdTraject;
    grid->setCurrentCell(1, 3);  // the selection's colour elsewhere
    const QRect marked = grid->visualRect(grid->model()->index(0, 0));
    const QRect plain = grid->visualRect(grid->model()->index(1, 0));
    const QImage image = grid->viewport()->grab().toImage();
    EXPECT_EQ(image.pixelColor(marked.right() - 2, marked.center().y()), QColor(0, 0, 255));
    EXPECT_NE(image.pixelColor(plain.right() - 2, plain.center().y()), QColor(0, 0, 255));
}

TEST_F(RouteSessionView, EscClosesTheViewLikeAfsluiten) {
    QTest::keyClick(frmSchema, Qt::Key_F4);
    ASSERT_EQ(gActiveDialog, 14);
    pressKey(frmTraject, Qt::Key_Escape);
    EXPECT_FALSE(frmTraject->isVisible());
    // A click on a locomotive now opens its panel: no route dialog is the active one.
    EXPECT_EQ(gActiveDialog, 0);
    EXPECT_EQ(frmTraject->Tag, 0);
    EXPECT_EQ(gEditMode, 0u);
}

TEST_F(RouteSessionView, TheViewFollowsTheLocomotiveIntoAndOutOfItsRoute) {
    three->mode = kModeAuto;
    three->run.currentLine = -1;
    QTest::keyClick(frmSchema, Qt::Key_F4);
    ASSERT_TRUE(frmTraject->isVisible());
    EXPECT_TRUE(frmTraject->cboTrajectNaam->isEnabled());
    EXPECT_FALSE(frmTraject->btnVolgendBlok->isEnabled());
    EXPECT_EQ(gRouteMarkRow, -1);
    ASSERT_EQ(cycleLocoMode(three), 1);
    ASSERT_EQ(three->mode, kModeRoute);
    EXPECT_FALSE(frmTraject->cboTrajectNaam->isEnabled());
    EXPECT_TRUE(frmTraject->btnVolgendBlok->isEnabled());
    EXPECT_EQ(gRouteMarkRow, three->run.currentLine - round->firstLine + 1);
    ASSERT_EQ(cycleLocoMode(three), 1);
    ASSERT_EQ(three->mode, kModeShunting);
    EXPECT_TRUE(frmTraject->cboTrajectNaam->isEnabled());
    EXPECT_FALSE(frmTraject->btnVolgendBlok->isEnabled());
    EXPECT_EQ(gRouteMarkRow, -1);
}

// The space bar stops all trains in the view's grid cell editor and on its route list, which takes
// no typed name during a session, closed or dropped down.
TEST_F(RouteSessionView, SpaceInACellEditorOrOnTheRouteListStopsAllTrains) {
    three->mode = kModeManual;  // the list is open for another route
    QTest::keyClick(frmSchema, Qt::Key_F4);
    ASSERT_TRUE(frmTraject->cboTrajectNaam->isEnabled());
    // With track control the stop holds the state.
    const uint8_t withoutTrack = gRunWithoutTrack;
    gRunWithoutTrack = 0;
    gRunWithTrack = 1;
    QTableWidget* grid = frmTraject->strgrdTraject;
    const QModelIndex index = grid->model()->index(1, 3);
    grid->setCurrentIndex(index);
    grid->edit(index);
    QWidget* editor = grid->indexWidget(index);
    ASSERT_TRUE(editor);
    QComboBox* names = frmTraject->cboTrajectNaam;
    names->showPopup();  // the list dropped down
    for (QWidget* w : {editor, static_cast<QWidget*>(names), static_cast<QWidget*>(names->view())}) {
        gEmergencyState = 0;
        QTest::keyClick(w, Qt::Key_Space);
        EXPECT_NE(gEmergencyState, 0) << w->metaObject()->className();
    }
    gEmergencyState = 0;
    gRunWithTrack = 0;
    gRunWithoutTrack = withoutTrack;
    frmBoodschap->close();
}

TEST_F(RouteSessionView, NextLineWithTheSameBlock) {
    QTest::keyClick(frmSchema, Qt::Key_F4);
    QTest::mouseClick(frmTraject->btnVolgendBlok, Qt::LeftButton);
    EXPECT_EQ(three->run.currentLine, 2);
    EXPECT_EQ(gRouteMarkRow, 3);
    QTest::mouseClick(frmTraject->btnVolgendBlok, Qt::LeftButton);
    EXPECT_EQ(three->run.currentLine, 0);  // wrapping round the route
}

TEST_F(RouteSessionView, NoRouteSendsRouteValueZero) {
    three->mode = kModeManual;
    controlPostCommand(1046, 0);
    ASSERT_TRUE(frmTraject->cboTrajectNaam->isEnabled());
    gNetOutFill = 0;
    frmTraject->cboTrajectNaam->setCurrentIndex(0);
    frmTraject->cboTrajectNaamClick();
    EXPECT_EQ(three->route, nullptr);
    EXPECT_EQ(three->run.currentLine, -1);
    EXPECT_EQ(gCurRoute, nullptr);
    EXPECT_EQ(frmTraject->strgrdTraject->rowCount(), 1);
    // Kind 2, code 12, number 3, slot 0, route 0.
    EXPECT_EQ(queued(), (Bytes{2, 12, 3, 0, 0, 0, 0, 0}));
    gNetOutFill = 0;
    frmTraject->cboTrajectNaam->setCurrentIndex(2);
    frmTraject->cboTrajectNaamClick();
    EXPECT_EQ(three->route, back);
    EXPECT_EQ(queued(), (Bytes{2, 12, 3, 0, 0, 0, 2, 0}));
}

TEST_F(RouteSessionView, AnEditedLineIsSentOnEnter) {
    controlPostCommand(1046, 0);
    QTableWidget* grid = frmTraject->strgrdTraject;
    grid->setCurrentCell(1, 3);
    gNetOutFill = 0;
    const QModelIndex index = grid->model()->index(1, 3);
    grid->edit(index);
    QWidget* editor = grid->indexWidget(index);
    ASSERT_TRUE(editor);
    QTest::keyClicks(editor, "090");
    QTest::keyClick(editor, Qt::Key_Return);
    // Kind 13, code 37, 20 bytes, line index 1; connection 1, 0:00, wait 0, speed 90 (int32 each).
    const Bytes line{13, 37, 20, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 90, 0, 0, 0};
    EXPECT_EQ(queued(), line);
    EXPECT_EQ(gChangeFlags & 0x04, 0);
    grid->setCurrentCell(2, 3);  // nothing changed since: nothing more is sent
    EXPECT_EQ(queued(), line);
}

TEST_F(RouteSessionView, ALocomotiveTakenOffTheTrackIsShownNoLonger) {
    LocoRec* seven = gLocsOnTrack[1];
    gActiveRow = 1;
    controlPostCommand(1046, 1);
    ASSERT_EQ(gRouteDialogLoco, seven);
    ASSERT_EQ(takeLocoOffTrack(seven), 1);
    EXPECT_FALSE(frmTraject->isVisible());
    EXPECT_EQ(gRouteDialogLoco, nullptr);
    three->targetStep = 0;
    ASSERT_EQ(takeLocoOffTrack(three), 1);
    gActiveRow = 0;
    controlPostCommand(1046, 0);
    ASSERT_TRUE(frmTraject->isVisible());
    EXPECT_EQ(frmTraject->cboLocNummer->count(), 0);
    EXPECT_EQ(gCurRoute, nullptr);
    EXPECT_EQ(frmTraject->strgrdTraject->rowCount(), 1);
    EXPECT_FALSE(frmTraject->btnVolgendBlok->isEnabled());
}

TEST_F(RouteSessionView, TheLocomotiveListFollowsTheNumbersOnTheTrack) {
    controlPostCommand(1046, 0);
    ASSERT_EQ(frmTraject->cboLocNummer->itemText(1), "7");
    ASSERT_EQ(takeLocoOffTrack(gLocsOnTrack[1]), 1);
    LocoRec* eleven = putLocoOnBlock(11, 2, 0, {120, 200}, true, 'H');
    ASSERT_TRUE(eleven);
    fillControlPostRow(1);
    frmTraject->FormActivate();
    ASSERT_EQ(frmTraject->cboLocNummer->count(), 2);
    EXPECT_EQ(frmTraject->cboLocNummer->itemText(1), "11");
    frmTraject->cboLocNummer->setCurrentIndex(1);
    frmTraject->cboLocNummerClick();
    EXPECT_EQ(gRouteDialogLoco, eleven);
}

}  // namespace
