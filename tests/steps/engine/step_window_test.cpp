// A step program from its file on the real main window: F11 starts a session, a left click on the
// program's box starts it; the box turns yellow with the current step and the program forces signal 7 red.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>

#include "layout/draw/diagram_canvas.h"
#include "layout/draw_test_support.h"
#include "layout/draw/element_colours.h"
#include "layout/model/layout_model.h"
#include "operation/session_trains.h"
#include "platform/canvas.h"
#include "platform/clock.h"
#include "shell/dialogs/untBoodschap.h"
#include "shell/model/app_state.h"
#include "shell/shell_test_support.h"
#include "shell/window/image_view.h"
#include "shell/window/untSchema.h"
#include "steps/files/step_file.h"
#include "steps/model/step_program.h"

namespace {

// The step file (current version) with one program "rood 7", box (600, 100)-(660, 126): step 1 "geen" /
// "uitgang=R" 7, step 2 "ingang=1" 12 (never on here) / "geen".
Bytes redSignalStepFile() {
    FileBytes f;
    auto i16 = [&](int v) -> FileBytes& { return f.u8(v & 0xFF).u8((v >> 8) & 0xFF); };
    f.text("V0.6");
    i16(1), i16(2), i16(0);
    f.text("rood 7").zeros(15);
    f.u8(0).u8(2).u8(0).u8(0).u8(0).u8(0).u8(0);  // number, steps, current step, state, counter, pad
    i16(0), i16(0);                               // first step, wait left
    f.i32(600).i32(100).i32(660).i32(126);        // box
    f.i32(0).i32(0);                              // next second, locomotive
    i16(0), i16(7), i16(0), i16(-1), f.u8(0).u8(2);   // "geen" / "uitgang=R" 7
    i16(12), i16(0), i16(0), i16(-1), f.u8(1).u8(0);  // "ingang=1" 12 / "geen"
    return f.b;
}

TEST(StepProgramWindow, AClickedBoxRunsItsProgramWhichForcesSignalSevenRed) {
    RunningProgram program;
    program.start();
    frmSchema->Timer1->stop();
    LayoutBuilder()
        .block(1, {{100, 100}, {200, 100}, {300, 100}})
        .block(2, {{100, 200}, {200, 200}, {300, 200}})
        .signal(7, 2, 'H', {320, 190})
        .input(12, {500, 300});
    gLayoutFileName = "test.vtl";
    gLocoFileName = "test.loc";
    writeSessionLocoFile("test.loc", {{3, 150, 100, 1}});
    testsupport::writeBytes("test.stp", redSignalStepFile());
    ASSERT_EQ(loadStepProgramFile(0), 1);
    ASSERT_EQ(gStepProgramCount, 1);
    gDirtyFlags = 0;
    QApplication::setActiveWindow(frmSchema);
    ASSERT_TRUE(processUntil([] { return QApplication::activeWindow() == frmSchema; }));

    QTest::keyClick(frmSchema, Qt::Key_F11);
    ASSERT_EQ(gRunWithoutTrack, 1);
    frmBoodschap->close();
    QApplication::setActiveWindow(frmSchema);
    ASSERT_TRUE(processUntil([] { return QApplication::activeWindow() == frmSchema; }));
    StepProgramRec& p = *gStepPrograms[0];
    SignalRec* seven = signalNumbered(7);
    EXPECT_EQ(seven->aspect, 'G');
    EXPECT_EQ(gDiagramCanvas->Pixel(640, 104), kShadowColour);  // a stopped program's box

    QTest::mouseClick(frmSchema->imgSchema, Qt::LeftButton, {}, {610, 104});
    EXPECT_EQ(p.state, 1);
    vestrel::ManualClock clock{100000};
    for (int i = 0; i < 10; ++i) {
        clock.advance(30);
        frmSchema->Timer1Timer();
    }
    EXPECT_EQ(seven->aspect, 'S');
    EXPECT_EQ(p.currentStep, 2);  // waiting on input 12
    EXPECT_EQ(gDiagramCanvas->Pixel(640, 104), kYellowColour);
    // The step number on the second line, right of the box's left edge: black digits on yellow.
    EXPECT_GT(drawtest::countColour(*gDiagramCanvas, 624, 112, 650, 125, kBlackColour), 3);
    EXPECT_EQ(gDiagramCanvas->Pixel(320, 190), kMagentaColour);  // the lamp of a forced red
}

}  // namespace
