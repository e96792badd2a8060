// The sample layout's locomotive file (data/voorbeeld.loc): two locomotives, one pulling three wagons on
// the oval's top block, the other on the station's passing loop, off the round trip of the sample's
// route; made here with the train dialog and written by the program's own locomotive file writer; and
// the blank photos shipped beside it.
// To write the file again after a change of the dialogs or of the file format:
//   VESTREL_WRITE_SAMPLE=$PWD/data build/tests/test_shell --gtest_filter='SampleTrains.*'
#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>

#include "layout/layout_builder.h"
#include "layout/model/layout_model.h"
#include "operation/control/control_post.h"
#include "operation/control/loco_putting.h"
#include "operation/dialogs/untTrein.h"
#include "operation/draw/vehicle_photos.h"
#include "operation/files/loco_file.h"
#include "operation/model/train_model.h"
#include "shell/dialogs/untBoodschap.h"
#include "shell/main/session.h"
#include "shell/model/app_state.h"
#include "shell/shell_test_support.h"
#include "train_dialog_input.h"
#include "shell/window/untSchema.h"
#include "shell/window/widget_colours.h"
#include "platform/clock.h"
#include "operation/model/route_file.h"
#include "shell/config/messages.h"
#include "test_support.h"

namespace {

using testsupport::readBytes;
using testsupport::writeBytes;

constexpr int kGoodsBlock = 3;  // the passing loop: the route "Rondrit" runs over the main track 2


// The sample's layout and configuration in the working folder, the program started on them and a
// session without track control running.
void startSampleSession(RunningProgram& program, bool withTrains) {
    for (const char* name : {"voorbeeld.vtl", "vestrel.cfg"}) writeBytes(program.dir.file(name), readBytes(testsupport::shippedDataPath(name)));
    if (withTrains) writeBytes(program.dir.file("voorbeeld.loc"), readBytes(testsupport::shippedDataPath("voorbeeld.loc")));
    program.start();
    frmSchema->Timer1->stop();
    ASSERT_EQ(gLocoFileName, "voorbeeld.loc");
    ASSERT_EQ(toggleControlPostSession(13), 1);
    frmBoodschap->close();
}

TEST(SampleTrains, TheDataFolderHoldsTheLocomotiveFileTheDialogsMake) {
    RunningProgram program;
    startSampleSession(program, false);
    ASSERT_EQ(gLocCount, 0);
    gCurTrain = nullptr;
    frmTrein->show();
    LocoRec* steam = addLocoInDialog(3, "Personentrein", 0, 4);     // "DCC 28 stappen"
    LocoRec* goods = addLocoInDialog(5, "Goederenloc", 1, 1);       // "Motorola nieuw 14stappen"
    ASSERT_TRUE(steam && goods);
    EXPECT_EQ(steam->run.speedSteps, 28);
    EXPECT_EQ(goods->run.speedSteps, 14);
    ASSERT_EQ(placeLocoOnBlock(steam, blockNumbered(1)), 1);
    ASSERT_EQ(putLocoOnTrack(steam), 1);
    ASSERT_EQ(placeLocoOnBlock(goods, blockNumbered(kGoodsBlock)), 1);
    ASSERT_EQ(putLocoOnTrack(goods), 1);
    gCurTrain = steam;
    frmTrein->showNoneOrCurrent();
    for (int i = 0; i < 3; ++i) addWagonBehind();
    ASSERT_EQ(gTrainList.size(), 4u);
    frmTrein->close();
    ASSERT_EQ(saveLocoFile(), 1);

    testsupport::expectShippedData(program.dir.file("voorbeeld.loc"), "voorbeeld.loc");
}

TEST(SampleTrains, TheSampleSessionStartsWithBothLocomotivesOnTheTrack) {
    RunningProgram program;
    startSampleSession(program, true);
    ASSERT_EQ(gLocCount, 2);
    ASSERT_EQ(gLocsOnTrackCount, 2);
    const LocoRec* steam = findLocoByNumber(3);
    const LocoRec* goods = findLocoByNumber(5);
    ASSERT_TRUE(steam && goods);
    EXPECT_EQ(steam->decoderType, 4);
    EXPECT_EQ(goods->decoderType, 1);
    EXPECT_EQ(goods->run.speedSteps, 14);
    EXPECT_EQ(steam->run.head.block, blockNumbered(1));
    EXPECT_EQ(goods->run.head.block, blockNumbered(kGoodsBlock));
    for (const LocoRec* l : {steam, goods}) EXPECT_NE(l->run.head.block->allowedTrains & l->kind, 0) << l->number;
    EXPECT_EQ(chainWagons(steam->frontChain).size() + chainWagons(steam->rearChain).size(), 3u);
    EXPECT_EQ(goods->frontChain, nullptr);
    EXPECT_EQ(goods->rearChain, nullptr);
}

TEST(SampleTrains, EachPhotoFolderHasItsBlankPhoto) {
    testsupport::ScratchDir dir;
    for (const char* folder : {"foto/loc/", "foto/wag/", "foto/wag/klein/"}) {
        std::filesystem::create_directories(dir.file(std::string("FOTO") + (folder + 4)));
        writeBytes(dir.file(std::string("FOTO") + (folder + 4) + "00blanco.bmp"), readBytes(testsupport::shippedDataPath(std::string(folder) + "00blanco.bmp")));
    }
    for (const char* folder : {"foto\\loc\\", "foto\\wag\\", "foto\\wag\\klein\\"}) {
        QImage photo;
        EXPECT_EQ(loadPhotoBitmap(folder, "", photo), 2) << folder;  // the folder's case does not matter
        EXPECT_FALSE(photo.isNull()) << folder;
        EXPECT_EQ(loadPhotoBitmap(folder, "onbekend", photo), 0) << folder;
        EXPECT_FALSE(photo.isNull()) << folder;  // the blank photo stands in
    }
}

// The README's first scenario: locomotive 3 given the route "Rondrit", its mode switched to "Traject",
// switched on and given a speed, runs the round trip: past block 6 into the station and on around.
TEST(SampleTrains, LocomotiveThreeRunsTheRoundTripOfTheReadme) {
    vestrel::ManualClock clock{100000};
    RunningProgram program;
    writeBytes(program.dir.file("voorbeeld.trj"), readBytes(testsupport::shippedDataPath("voorbeeld.trj")));
    startSampleSession(program, true);
    showDialogMessage("", 3);
    ASSERT_EQ(gRouteCount, 1);
    LocoRec* steam = findLocoByNumber(3);
    ASSERT_TRUE(steam);
    const int row = gLocsOnTrack.indexOf(steam);
    gActiveRow = row;
    steam->route = gRoutes[0];  // "Traject" in the locomotive menu: "Rondrit"
    for (int press = 0; press < 3 && steam->mode != kModeRoute; ++press) controlPostCommand('m', row);
    ASSERT_EQ(steam->mode, kModeRoute) << lastDialogMessage();
    if (!steam->running) controlPostCommand('l', row);
    ASSERT_TRUE(steam->running);
    for (int press = 0; press < 10; ++press) controlPostCommand(38, row);  // the up key
    std::vector<int> blocks{steam->run.head.block->number};
    for (int tick = 0; tick < 20000 && blocks.size() < 5; ++tick) {
        clock.advance(30);
        frmSchema->Timer1Timer();
        const BlockRec* b = steam->run.head.block;
        if (b && b->number != blocks.back()) blocks.push_back(b->number);
    }
    EXPECT_EQ(blocks, (std::vector<int>{1, 6, 2, 5, 1})) << lastDialogMessage();
}

// A row without a locomotive is drawn as a row never used, whatever the locomotive before it left there
// (a demo's seven trains leave their colours in rows that the sample's two do not fill).
TEST(SampleTrains, RowsWithoutALocomotiveAreDrawnEmpty) {
    RunningProgram program;
    startSampleSession(program, true);
    constexpr int kLeft = 6, kUnused = kControlPosts - 1;
    const auto rowOf = [](int row) {
        return std::vector<QWidget*>{frmSchema->btnLok[row], frmSchema->btnMode[row], frmSchema->btnRich[row],
                                     frmSchema->lblSnelheid[row], frmSchema->lblPauze[row]};
    };
    // As the selected row of a seven-train session was left: a yellow speed, coloured captions.
    setBackColour(frmSchema->lblSnelheid[kLeft], vestrel::clYellow);
    for (QWidget* w : rowOf(kLeft)) setTextColour(w, vestrel::clRed);
    ASSERT_EQ(toggleControlPostSession(13), 1);
    ASSERT_EQ(toggleControlPostSession(13), 1);
    frmBoodschap->close();
    ASSERT_EQ(gLocsOnTrackCount, 2);
    const std::vector<QWidget*> left = rowOf(kLeft), unused = rowOf(kUnused);
    for (size_t k = 0; k < left.size(); ++k) {
        const std::string name = left[k]->objectName().toStdString();
        EXPECT_EQ(left[k]->property("text").toString(), QString()) << name;
        EXPECT_EQ(backColour(left[k]), backColour(unused[k])) << name;
        EXPECT_EQ(textColour(left[k]), textColour(unused[k])) << name;
        EXPECT_EQ(left[k]->autoFillBackground(), unused[k]->autoFillBackground()) << name;
    }
}

}  // namespace
