// The sample layout that a fresh working folder opens with (data/voorbeeld.vtl and data/vestrel.cfg):
// a small station on an oval, built here in code and written by the program's own layout writer.
// To write the data files again after a change of the builder or of the file format:
//   VESTREL_WRITE_SAMPLE=$PWD/data build/tests/test_shell --gtest_filter='SampleLayout.*'
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QToolButton>
#include <cmath>
#include <map>
#include <set>
#include <vector>
#include <cstdlib>

#include "shell/config_fixture.h"
#include "shell/diagram_window.h"
#include "layout/draw/diagram_canvas.h"
#include "layout/model/display_settings.h"
#include "layout/draw/element_colours.h"
#include "layout/files/layout_file.h"
#include "layout/analysis/connection_analysis.h"
#include "layout/layout_builder.h"
#include "platform/desktop.h"
#include "layout/model/layout_model.h"
#include "layout/frame/render.h"
#include "layout/model/scale.h"
#include "layout/sample_layout.h"
#include "layout/small_layout.h"
#include "platform/canvas.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"
#include "shell/window/image_view.h"
#include "shell/window/untSchema.h"
#include "test_support.h"

namespace {

using namespace smalllayout;
using testsupport::readBytes;
using testsupport::writeBytes;

constexpr const char* kSampleLayout = "voorbeeld.vtl";
// As wide as the main window's design, so that the window opens whole: every menu, all 20 control posts
// and the emergency stop, the model clock beside the cycle statistics.
constexpr CanvasSize kSampleCanvas = {800, 480};


// Every accessory number (turnouts but crossings, signals with their orange lights, output addresses)
// used once.
std::vector<int> repeatedAccessoryNumbers() {
    std::map<int, int> uses;
    for (const TurnoutRec* t : gTurnouts)
        if (t->subtype != 'x') ++uses[t->number];
    for (const SignalRec* s : gSignals) {
        ++uses[s->number];
        if (s->orangeNumber) ++uses[s->orangeNumber];
    }
    std::set<int> outputAddresses;
    for (const OutputRec* o : gOutputs) outputAddresses.insert(o->key / 2);  // both buttons share one address
    for (int a : outputAddresses) ++uses[a];
    std::vector<int> repeated;
    for (const auto& [number, count] : uses)
        if (count > 1) repeated.push_back(number);
    return repeated;
}

class SampleLayout : public ::testing::Test {
protected:
    testsupport::ScratchDir dir;
};

TEST_F(SampleLayout, TheDataFolderHoldsWhatTheBuilderWrites) {
    resetConfigState();
    setScaleParameters('3', '5', 0);
    gCanvasSize = kSampleCanvas;
    buildSampleLayout();
    gLayoutFileName = kSampleLayout;
    ASSERT_EQ(saveLayoutFile(), 1);
    CfgFixture cfg;
    cfg.layout = kSampleLayout;
    cfg.loco = "voorbeeld.loc";
    cfg.visuNummer = 1;  // block and turnout numbers shown
    writeBytes(dir.file("vestrel.cfg"), cfg.bytes());

    if (const char* out = std::getenv("VESTREL_WRITE_SAMPLE")) {
        writeBytes(std::string(out) + "/" + kSampleLayout, readBytes(dir.file(kSampleLayout)));
        writeBytes(std::string(out) + "/vestrel.cfg", cfg.bytes());
    }
    const char* hint = "data/ differs from the builder: see the top of this file to write it again";
    EXPECT_EQ(readBytes(dir.file(kSampleLayout)), readBytes(testsupport::shippedDataPath(kSampleLayout))) << hint;
    EXPECT_EQ(cfg.bytes(), readBytes(testsupport::shippedDataPath("vestrel.cfg"))) << hint;
}

TEST(SampleLayoutStart, AFreshWorkingFolderOpensTheSampleDrawn) {
    RunningProgram program;
    for (const char* name : {kSampleLayout, "vestrel.cfg"})
        writeBytes(program.dir.file(name), readBytes(testsupport::shippedDataPath(name)));
    program.start();
    frmSchema->Timer1->stop();
    EXPECT_EQ(gLayoutFileName, kSampleLayout);
    EXPECT_EQ(gBlockCount, 5);
    EXPECT_EQ(gTrackCount, 6);
    EXPECT_EQ(gTurnoutCount, 2);
    EXPECT_EQ(gSignalCount, 2);
    EXPECT_EQ(gShowNumbers, 1);  // the drawing reads the configuration's "nummers zichtbaar" itself
    for (const BlockRec* b : gBlocks) EXPECT_FALSE(b->state & 0x40) << b->number;  // every section has its contact
    EXPECT_EQ(repeatedAccessoryNumbers(), std::vector<int>{});
    // Its connections were generated: both ends of every block lead on, and the loop is reached.
    ASSERT_GT(gConnectionCount, 0);
    for (const BlockRec* b : gBlocks) {
        int leaving[2] = {0, 0};
        for (const ConnectionRec* c : gConnections)
            if (c->from == b) ++leaving[c->direction == 'H'];
        EXPECT_GT(leaving[0], 0) << "block " << b->number << " 'T'";
        EXPECT_GT(leaving[1], 0) << "block " << b->number << " 'H'";
    }

    // The window opens whole at the canvas's size.
    EXPECT_EQ(frmSchema->ClientArea->size(), QSize(kSampleCanvas.width, kSampleCanvas.height));
    const QRect posts = frmSchema->grpCmdpost->rect();
    EXPECT_TRUE(posts.contains(frmSchema->btnNstop->geometry()));
    EXPECT_TRUE(posts.contains(frmSchema->btnLok[kControlPosts - 1]->geometry()));
    EXPECT_GT(frmSchema->lblTijd->x(), frmSchema->lblKlokinterval->geometry().right());
    QApplication::processEvents();
    for (QAction* menu : frmSchema->MainMenu1->actions())
        EXPECT_FALSE(frmSchema->MainMenu1->actionGeometry(menu).isEmpty()) << menu->text().toStdString();

    // A resize asks the cycle for the redraw, as at start-up.
    frmSchema->FormResize();
    for (int i = 0; i < 10; ++i) frmSchema->Timer1Timer();
    frmSchema->grab().save(QString::fromStdString(testsupport::artefactPath("sample_layout_window.png")));
    EXPECT_EQ(gBackBuffer->Pixel(300, 72), kWhiteColour);     // the top line
    EXPECT_EQ(gBackBuffer->Pixel(300, 344), kCyanColour);     // the main track, 'H'
    EXPECT_EQ(gBackBuffer->Pixel(300, 312), kMagentaColour);  // the loop, 'T'
    EXPECT_EQ(gBackBuffer->Pixel(140, 344), kGreenColour);    // turnout 1 set straight
    EXPECT_EQ(gDiagramCanvas->Pixel(300, 72), kWhiteColour);
}

}  // namespace
