// Trains from a locomotive file on the real main window: F11 starts the session, the train on its block
// (with its coupled wagon) and the loose wagon are drawn where the file puts them, and the clock runs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include "layout/draw/diagram_canvas.h"
#include "layout/model/layout_model.h"
#include "layout/model/scale.h"
#include "operation/control/control_post.h"
#include "operation/draw/train_drawing.h"
#include "operation/files/loco_file.h"
#include "operation/model/train_model.h"
#include "operation/session_trains.h"
#include "platform/canvas.h"
#include "platform/clock.h"
#include "shell/dialogs/untBoodschap.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"
#include "shell/shell_test_support.h"
#include "shell/window/image_view.h"
#include "shell/window/untSchema.h"

namespace {

Pos onBlock(float x, float y, int block, int section) {
    Pos p;
    p.x = x;
    p.y = y;
    p.dx = 1;
    p.a = section;
    p.b = section + 1;
    p.ix = static_cast<int>(x);
    p.iy = static_cast<int>(y);
    p.block = block;
    return p;
}

Image wagonBetween(int number, char kind, const Pos& front, const Pos& rear) {
    Image w = wagonImage(number);
    w.u8(WagonAt::kind, kind);
    putPosition(w, WagonAt::front, front);
    putPosition(w, WagonAt::rear, rear);
    return w;
}

// Version 1.1, zoom '3': locomotive 3 on block 1 at (250, 100) heading for its 'H' end with one goods
// wagon in its front chain, and a loose passenger wagon on block 2 from (150, 200) to (172, 200).
Bytes locoFileWithWagons() {
    FileBytes f;
    f.header('3').i32(1);
    Image loco = locoImage(3);
    putPosition(loco, LocoAt::head, onBlock(250, 100, 1, 1));
    loco.u8(LocoAt::mode, 1).u8(LocoAt::role, 6).i32(LocoAt::front, 1);
    f.add(loco);
    Image table(127);
    for (int j = 0; j < 127; ++j) table.u8(j, j);
    f.add(table);
    Image coupled = wagonBetween(11, 'G', onBlock(238, 100, 1, 1), onBlock(218, 100, 1, 1));
    coupled.i32(WagonAt::owner, 1);
    f.add(coupled);
    f.i32(1).add(wagonBetween(12, 'P', onBlock(150, 200, 2, 0), onBlock(172, 200, 2, 0)));
    f.i32(2);  // two wagons, none off the track
    appendRunState(f, [](int b) { return b == 1 ? 1 : 0; });
    return f.b;
}

// Below the layer buttons, which are drawn on the screen only.
int differingPixels(const vestrel::Canvas& a, const vestrel::Canvas& b) {
    int n = 0;
    for (int y = 12; y < std::min(a.height(), b.height()); ++y)
        for (int x = 0; x < std::min(a.width(), b.width()); ++x) n += a.Pixel(x, y) != b.Pixel(x, y);
    return n;
}

// The main window with the session layout and the locomotive file above, before F11; the cycle is
// stopped so that the tests step it.
void prepareWindowWithTrains(RunningProgram& program) {
    program.start();
    frmSchema->Timer1->stop();
    buildSessionLayout();
    gLocoFileName = "test.loc";
    testsupport::writeBytes("test.loc", locoFileWithWagons());
    gDirtyFlags = 0;
    QApplication::setActiveWindow(frmSchema);
}

TEST(TrainWindow, TheTrainsOfTheFileAreDrawnWhenTheSessionStartsAndTheClockRuns) {
    RunningProgram program;
    prepareWindowWithTrains(program);
    ASSERT_TRUE(processUntil([] { return QApplication::activeWindow() == frmSchema; }));

    QTest::keyClick(frmSchema, Qt::Key_F11);
    ASSERT_EQ(gRunWithoutTrack, 1);
    frmBoodschap->close();
    ASSERT_EQ(gLocsOnTrackCount, 1);
    ASSERT_EQ(gWagonCounts.loose, 1);
    LocoRec* loco = gLocsOnTrack[0];
    WagonRec* coupled = loco->frontChain;
    WagonRec* loose = gWagons[0];
    ASSERT_NE(coupled, nullptr);
    vestrel::Canvas& screen = *gDiagramCanvas;
    vestrel::Canvas& back = *gBackBuffer;

    // The locomotive where the file puts it, its circle blue (heading 'H'); its wagon behind it on block 1.
    EXPECT_FLOAT_EQ(loco->run.head.x, 250);
    EXPECT_EQ(loco->run.head.ix, 250);
    EXPECT_EQ(screen.Pixel(250, 100 - gUnit4cmLess1), 0xFF0000u);
    EXPECT_EQ(coupled->front.block, blockNumbered(1));
    EXPECT_FLOAT_EQ(coupled->front.x, 250.f - gHalfUnit20cm);
    EXPECT_FLOAT_EQ(coupled->rear.x, 250.f - gHalfUnit20cm - coupled->lengthUnits);
    EXPECT_EQ(coupled->rear.ix, static_cast<int>(coupled->rear.x));
    // The loose wagon where the file puts it, on the screen and in the back buffer alike.
    EXPECT_EQ(loose->front.ix, 150);
    EXPECT_EQ(loose->rear.ix, 172);
    EXPECT_EQ(screen.Pixel(161, 200), back.Pixel(161, 200));
    const vestrel::TColor withWagon = screen.Pixel(161, 200);
    drawVehicle(loose, &screen, nullptr);
    EXPECT_NE(screen.Pixel(161, 200), withWagon);
    drawVehicle(loose, &screen, nullptr);
    // The train is on the screen only: erased, the screen is the back buffer again.
    EXPECT_GT(differingPixels(screen, back), 0);
    eraseTrain(loco);
    EXPECT_EQ(differingPixels(screen, back), 0);
    drawTrain(loco);

    vestrel::ManualClock clock{100000};
    frmSchema->Timer1Timer();
    const QString first = frmSchema->lblTijd->text();
    clock.advance(1000);
    frmSchema->Timer1Timer();
    EXPECT_NE(frmSchema->lblTijd->text(), first);
}

// Ctrl+B and a click on the coupled wagon uncouple it there; Ctrl+Del and a click on the loose wagon take
// it off the track. The file written afterwards holds the new zones: no coupled wagon, wagon 11 loose
// where it stood, wagon 12 off the track.
TEST(TrainWindow, UncouplingAndTakingAWagonOffByKeyAndClickAreSaved) {
    RunningProgram program;
    prepareWindowWithTrains(program);
    ASSERT_TRUE(processUntil([] { return QApplication::activeWindow() == frmSchema; }));
    QTest::keyClick(frmSchema, Qt::Key_F11);
    // The session's start message keeps coming back to the front; the keys go to the main window.
    auto focusMain = [] {
        if (frmBoodschap->isVisible()) frmBoodschap->close();
        QApplication::setActiveWindow(frmSchema);
        return processUntil([] { return QApplication::activeWindow() == frmSchema; });
    };
    ASSERT_TRUE(focusMain());
    ASSERT_EQ(gLocsOnTrackCount, 1);
    LocoRec* loco = gLocsOnTrack[0];
    WagonRec* coupled = loco->frontChain;
    ASSERT_TRUE(coupled);
    QWidget* diagram = frmSchema->imgSchema;
    auto clickAt = [&](QPoint p) {
        QTest::mouseMove(diagram, p + QPoint(1, 1));
        QTest::mouseMove(diagram, p);
        QTest::mouseClick(diagram, Qt::LeftButton, {}, p);
    };

    QTest::keyClick(frmSchema, Qt::Key_B, Qt::ControlModifier);
    ASSERT_EQ(gEditMode, kPostUncouple);
    clickAt(QPoint(static_cast<int>((coupled->front.x + coupled->rear.x) / 2), 100));
    EXPECT_EQ(loco->frontChain, nullptr);
    EXPECT_EQ(coupled->owner, nullptr);
    ASSERT_EQ(gWagonCounts.loose, 2);
    EXPECT_EQ(gWagonCounts.coupledEnd, 2);

    WagonRec* loose = nullptr;
    for (WagonRec* w : gWagons)
        if (w->number == 12) loose = w;
    ASSERT_TRUE(loose);
    ASSERT_TRUE(focusMain());
    QTest::keyClick(frmSchema, Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_EQ(gEditMode, kPostRemoveVehicle);
    clickAt(QPoint(161, 200));
    EXPECT_EQ(gWagonCounts.loose, 1);
    EXPECT_EQ(gWagonCounts.coupledEnd, 1);
    EXPECT_EQ(gWagons[1], loose);
    EXPECT_FALSE(onTrack(loose->front));

    ASSERT_EQ(saveLocoFile(), 1);
    const Bytes saved = testsupport::readBytes("test.loc");
    constexpr size_t kLoco = 12, kLoose = kLoco + 192 + 127, kFirstLoose = kLoose + 4, kTotal = kFirstLoose + 156;
    ASSERT_GE(saved.size(), kTotal + 4 + 156);
    auto i32 = [&](size_t at) { return static_cast<int32_t>(saved[at] | saved[at + 1] << 8 | saved[at + 2] << 16 | saved[at + 3] << 24); };
    EXPECT_EQ(i32(8), 1);
    EXPECT_EQ(i32(kLoco + LocoAt::front), 0) << "no front chain";
    EXPECT_EQ(i32(kLoose), 1);
    EXPECT_EQ(i32(kFirstLoose + WagonAt::number), 11);
    EXPECT_EQ(i32(kFirstLoose + WagonAt::owner), 0);
    EXPECT_EQ(i32(kFirstLoose + WagonAt::front + 32), 1) << "still on block 1";
    EXPECT_EQ(i32(kTotal), 2);
    EXPECT_EQ(i32(kTotal + 4 + WagonAt::number), 12);
    EXPECT_EQ(i32(kTotal + 4 + WagonAt::front + 32), 0) << "off the track";
}

}  // namespace
