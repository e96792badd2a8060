// The sample layout that a fresh working folder opens with (data/voorbeeld.vtl and data/vestrel.cfg):
// a small station on an oval, built here in code and written by the program's own layout writer.
// To write the data files again after a change of the builder or of the file format:
//   VESTREL_WRITE_SAMPLE=$PWD/data build/tests/test_shell --gtest_filter='SampleLayout.*'
#include <gtest/gtest.h>

#include <QImage>
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
#include "layout/small_layout.h"
#include "platform/canvas.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"
#include "test_support.h"

namespace {

using namespace smalllayout;
using testsupport::readBytes;
using testsupport::writeBytes;

constexpr const char* kSampleLayout = "voorbeeld.vtl";

std::string dataPath(const std::string& name) { return testsupport::fixturePath("../../data/" + name); }

// Feedback inputs on the first and last section, so that no section lacks its contact.
BlockRec* station(std::initializer_list<DiagramPoint> points, int16_t number, char direction, int16_t firstInput) {
    BlockRec* b = addBlock(points, number, direction);
    b->sectionInputs[1] = firstInput;
    b->sectionInputs[b->sections] = static_cast<int16_t>(firstInput + 1);
    float total = 0;
    for (int s = 0; s < b->sections; ++s) total += b->sectionLengths[s];
    b->totalLength = static_cast<int16_t>(std::lround(total));
    b->allowedTrains = 0x8F;
    b->speed = 80;
    return b;
}

// An oval with a passing loop in the station at the bottom: blocks 1 (top), 5 (left), 6 (right), the main
// track 2 and the loop 3 between turnouts 1 and 2, signals at the station exits, an uncoupling rail and a
// contact on the loop.
void buildSampleLayout() {
    clearElementTables();
    station({{128, 72}, {208, 72}, {432, 72}, {512, 72}}, 1, 'B', 1);
    addTrack({{128, 72}, {80, 72}, {48, 104}});
    station({{48, 104}, {48, 176}, {48, 240}, {48, 312}}, 5, 'B', 3);
    addTrack({{48, 312}, {80, 344}, {128, 344}});
    addTurnout('l', {128, 344}, 0, 1);
    BlockRec* main = station({{160, 344}, {200, 344}, {440, 344}, {480, 344}}, 2, 'H', 5);
    addTrack({{158, 336}, {184, 312}});
    BlockRec* loop = station({{184, 312}, {224, 312}, {416, 312}, {456, 312}}, 3, 'T', 7);
    addTrack({{456, 312}, {482, 336}});
    addTurnout('r', {512, 344}, 180, 2);
    addTrack({{512, 344}, {560, 344}, {592, 312}});
    station({{592, 312}, {592, 240}, {592, 176}, {592, 104}}, 6, 'B', 9);
    addTrack({{592, 104}, {560, 72}, {512, 72}});
    // Accessory numbers are unique among turnouts, signals and outputs: turnouts 1 and 2, signals 3 and 4,
    // the uncoupling rail address 10 (green button).
    addSignal({464, 356}, 0, 3, main, 'H');
    addSignal({196, 300}, 0, 4, loop, 'T');
    addOutput({300, 296}, 0, 2 * 10 + 1);
    addInput({330, 354}, 0, 11);
    // The connections, as "Verbindingen genereren" with block 1 as drawn ("Ja") makes them.
    vestrel::setDesktopOpener([](const std::string&) { return true; });
    analyseConnections(blockNumbered(1));
    vestrel::setDesktopOpener(nullptr);
}

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
    gCanvasSize = {640, 480};
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
    EXPECT_EQ(readBytes(dir.file(kSampleLayout)), readBytes(dataPath(kSampleLayout))) << hint;
    EXPECT_EQ(cfg.bytes(), readBytes(dataPath("vestrel.cfg"))) << hint;
}

TEST(SampleLayoutStart, AFreshWorkingFolderOpensTheSampleDrawn) {
    RunningProgram program;
    for (const char* name : {kSampleLayout, "vestrel.cfg"})
        writeBytes(program.dir.file(name), readBytes(dataPath(name)));
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
