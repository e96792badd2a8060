// The main window repaints only what a tick drew: a session with a running train, ticked with the
// window on the (offscreen) screen, shows exactly what a full repaint of the same state shows; and a
// tick that draws nothing repaints nothing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPaintEvent>
#include <QPixmap>
#include <QTest>
#include <QTimer>

#include "layout/draw/diagram_canvas.h"
#include "layout/frame/render.h"
#include "operation/model/train_model.h"
#include "operation/session_trains.h"
#include "platform/canvas.h"
#include "platform/clock.h"
#include "shell/dialogs/untBoodschap.h"
#include "shell/model/app_state.h"
#include "shell/shell_test_support.h"
#include "shell/window/image_view.h"
#include "shell/window/untSchema.h"

namespace {

class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
};

class PartialRepaint : public ::testing::Test {
protected:
    void SetUp() override {
        program.start();
        frmSchema->Timer1->stop();
        LayoutBuilder()
            .block(1, {{100, 100}, {200, 100}, {300, 100}})
            .track({{300, 100}, {400, 100}})
            .turnout('l', 1, {{400, 100}, {440, 100}, {440, 130}})
            .block(2, {{440, 100}, {520, 100}, {600, 100}})
            .measureBlocks();
        gLocoFileName = "test.loc";
        writeSessionLocoFile("test.loc", {{3, 150, 100, 1}});
        gDirtyFlags = 0;
        QApplication::setActiveWindow(frmSchema);
        ASSERT_TRUE(processUntil([] { return QApplication::activeWindow() == frmSchema; }));
    }
    void tick() {
        clock.advance(30);
        frmSchema->Timer1Timer();
        QApplication::processEvents();
    }
    vestrel::ManualClock clock{100000};
    RunningProgram program;
};

TEST_F(PartialRepaint, AfterARunningTrainTheWindowShowsWhatAFullRepaintShows) {
    QTest::keyClick(frmSchema, Qt::Key_F11);
    ASSERT_EQ(gRunWithoutTrack, 1);
    frmBoodschap->close();
    QApplication::setActiveWindow(frmSchema);
    for (int i = 0; i < 12; ++i) tick();
    LocoRec* l = gLocsOnTrack[0];
    ASSERT_NE(l, nullptr);
    QTest::keyClick(frmSchema, Qt::Key_L);
    l->targetStep = 20;
    const float start = l->run.head.x;
    for (int i = 0; i < 150; ++i) tick();
    ASSERT_GT(l->run.head.x, start + 20);  // it moved, so the ticks drew

    expectShownAsPaintedWhole(mainWindowOnScreen(), "partial_repaint_ticked");
}

// Before the cycle time is known there is no speed factor and the direction dot sits in the symbol's
// middle; learning it puts the dot at the edge toward where the train travels.
TEST_F(PartialRepaint, AStandingTrainShowsItsDirectionOnceTheCycleTimeIsLearnt) {
    QTest::keyClick(frmSchema, Qt::Key_F11);
    ASSERT_EQ(gRunWithoutTrack, 1);
    frmBoodschap->close();
    ASSERT_EQ(gTickPeriod, 0u);
    for (int i = 0; i < 12; ++i) tick();
    ASSERT_EQ(gTickPeriod, 30u);
    const QImage ticked = gDiagramCanvas->image().copy();
    redrawSchema(1);
    EXPECT_TRUE(gDiagramCanvas->image() == ticked);
}

TEST_F(PartialRepaint, ATickThatDrawsNothingRepaintsNothing) {
    for (int i = 0; i < 20; ++i) tick();  // settle whatever the start left to draw
    PaintCounter counter;
    frmSchema->installEventFilter(&counter);
    for (QWidget* w : frmSchema->findChildren<QWidget*>()) w->installEventFilter(&counter);
    for (int i = 0; i < 10; ++i) tick();
    EXPECT_EQ(counter.paints, 0);
}

}  // namespace
