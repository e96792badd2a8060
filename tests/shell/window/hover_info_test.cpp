// The editor's hover information: its texts, where the label stands, the tick that answers a hover
// request on the main window, and the highlighted track or block sections.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>

#include "shell/diagram_window.h"
#include "layout/draw/diagram_canvas.h"
#include "layout/draw/element_colours.h"
#include "layout/model/layout_model.h"
#include "layout/frame/render.h"
#include "layout/model/scale.h"
#include "layout/small_layout.h"
#include "platform/canvas.h"
#include "shell/model/app_state.h"
#include "shell/window/hover_info.h"
#include "shell/window/input_routing.h"
#include "shell/model/input_state.h"
#include "layout/editor/editor_state.h"
#include "layout/editor/point_entry.h"
#include "steps/model/step_program.h"

namespace {

using namespace smalllayout;

TEST(HoverText, EachCodeDescribesItsElement) {
    clearElementTables();
    setScaleParameters('3', '5', 0);
    gCmPerUnit = 0.5f;  // round numbers: one unit is half a centimetre
    TrackRec* track = addTrack({{40, 60}, {100, 60}, {140, 100}});
    BlockRec* block = addBlock({{40, 200}, {100, 200}, {160, 200}, {220, 240}}, 7, 'H');
    block->sectionInputs[1] = 11;
    block->sectionInputs[3] = 12;
    TurnoutRec* turnout = addTurnout('l', {200, 100}, 0, 11);
    TurnoutRec* crossing = addTurnout('x', {400, 150}, -90, 0);
    SignalRec* signal = addSignal({222, 236}, 0, 21, block);
    OutputRec* output = addOutput({120, 300}, 90, 2 * 31 + 1);
    InputRec* input = addInput({150, 320}, 0, 41);
    TurntableRec* turntable = addTurntable({450, 380}, {530, 380}, 12);

    struct Case {
        HoverHit hit;
        const char* text;
    };
    auto hit = [](int code) {
        HoverHit h;
        h.code = code;
        return h;
    };
    HoverHit trackHit = hit(401), blockFirst = hit(402), blockLast = hit(402), turnoutHit = hit(403),
             crossingHit = hit(403), signalHit = hit(404), outputHit = hit(405), inputHit = hit(406),
             turntableHit = hit(407);
    trackHit.track = track;
    trackHit.segment = 1;
    blockFirst.block = blockLast.block = block;
    blockLast.segment = 2;
    turnoutHit.turnout = turnout;
    crossingHit.turnout = crossing;
    signalHit.signal = signal;
    outputHit.output = output;
    inputHit.input = input;
    turntableHit.turntable = turntable;
    turntableHit.turntableTrack = 3;
    const Case cases[] = {
        {trackHit, "verbindingsspoor\nlijnlengte 28.3  hoek -45\ntotale lengte 58"},
        {blockFirst, "blok 7  sectie 1  ingang 11\nlijnlengte 30.0  hoek 0\nsectielengte 30\ntotale bloklengte 96"},
        {blockLast, "blok 7  sectie 3  ingang 12\nlijnlengte 36.1  hoek -34\nsectielengte 36\ntotale bloklengte 96"},
        {turnoutHit, "wissel 11  lengte 16  hoek 0"},
        {crossingHit, "kruising  lengte 16  hoek -90"},
        {signalHit, "sein 21  hoek 0\n blok 7  rich H"},
        {outputHit, "uitgang 31  hoek 90"},
        {inputHit, "ingang 41  hoek 0"},
        {turntableHit, "draaischijf 1  hoek 0\ndiameter 40.0  aansluiting 3"},
        {hit(408), "stappenprogramma"},
        {hit(501), "laag 1, 2 en 3 aan/uit"},
        {hit(502), "laag 1, 2 en 3 aan/uit"},
        {hit(504), "laag 1, 2 en 3 aan/uit"},
        {hit('b'), "blok"},
        {hit('d'), "draaischijf"},
        {hit('i'), "ingang S88"},
        {hit('k'), "kruiswissel"},
        {hit('l'), "linkerwissel"},
        {hit('o'), "uitgang (ontkoppelrail, ...)"},
        {hit('r'), "rechterwissel"},
        {hit('s'), "sein"},
        {hit('v'), "verbindingsspoor"},
        {hit('x'), "kruising"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hit.code);
        std::string text = "vorige";
        EXPECT_TRUE(hoverText(c.hit, text));
        EXPECT_EQ(text, c.text);
    }
    std::string text = "vorige";
    EXPECT_FALSE(hoverText(hit(503), text));
    EXPECT_EQ(text, "vorige");
}

TEST(HoverPlace, BesideThePointerAndInsideTheWindow) {
    struct Case {
        DiagramPoint p;
        bool overDiagram;
        int left;
        int top;
    };
    // A label of 80 x 30 on a client area 640 wide and a canvas 480 high.
    const Case cases[] = {
        {{100, 100}, true, 110, 185},
        {{550, 100}, true, 560, 185},   // right edge exactly at the client width
        {{600, 100}, true, 560, 185},   // pushed left
        {{100, 342}, true, 110, 427},   // bottom exactly 23 above the canvas bottom
        {{100, 380}, true, 110, 427},   // pushed up
        {{630, 390}, true, 560, 427},
        {{40, 20}, false, 0, -2},       // over the tool bar: centred, at the top
        {{470, 30}, false, 430, -2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.p.x << "," << c.p.y);
        const LabelPlace place = hoverLabelPlace(c.p, c.overDiagram, 80, 30, 640, 480);
        EXPECT_EQ(place.left, c.left);
        EXPECT_EQ(place.top, c.top);
        if (c.overDiagram) {
            EXPECT_LE(place.left + 80, 640);
            EXPECT_LE(place.top + 30, 480 - 23);
        }
    }
}

class HoverOnWindow : public DiagramWindowTest {
protected:
    // The input routing's request for the point, answered by the next tick.
    void hover(int x, int y, bool overDiagram) {
        gPointerInDiagram = overDiagram ? 2 : 0;
        requestHoverInfo(y * 65536 + x);
        frmSchema->Timer1Timer();
        EXPECT_EQ(hoverRequest(), sessionRunning() ? y * 65536 + x : 0);
    }
    QLabel& label() { return *frmSchema->lblInfo; }
};

TEST_F(HoverOnWindow, ToolBarButtonsAreNamedAboveThePointer) {
    hover(30, 20, false);
    ASSERT_TRUE(label().isVisible());
    EXPECT_EQ(label().text().toStdString(), "linkerwissel");
    EXPECT_EQ(label().x(), 30 - label().width() / 2);
    EXPECT_EQ(label().y(), -2);
    EXPECT_EQ(frmSchema->cboWissellengte->x(), 20);
    EXPECT_FALSE(frmSchema->cboWissellengte->isVisible());  // fixed turnout size

    gTurnoutSizeMode = 1;
    hover(80, 20, false);
    EXPECT_EQ(label().text().toStdString(), "rechterwissel");
    EXPECT_TRUE(frmSchema->cboWissellengte->isVisible());
    EXPECT_TRUE(frmSchema->cboWisselbreedte->isVisible());
    EXPECT_EQ(frmSchema->cboWissellengte->x(), 68);
    EXPECT_EQ(frmSchema->cboWisselbreedte->x(), 68);

    hover(230, 20, false);
    EXPECT_EQ(label().text().toStdString(), "blok");
    EXPECT_FALSE(frmSchema->cboWissellengte->isVisible());
    EXPECT_FALSE(frmSchema->cboWisselbreedte->isVisible());
}

TEST_F(HoverOnWindow, TheLabelNeverTakesThePointerFromTheWindowBelowIt) {
    hover(30, 20, false);
    ASSERT_TRUE(label().isVisible());
    EXPECT_NE(label().parentWidget()->childAt(label().geometry().center()), &label());
}

TEST_F(HoverOnWindow, LayerButtonsOnTheDiagramAndNothingElsewhere) {
    hover(3, 3, true);
    ASSERT_TRUE(label().isVisible());
    EXPECT_EQ(label().text().toStdString(), "laag 1, 2 en 3 aan/uit");
    EXPECT_EQ(label().x(), 13);
    EXPECT_EQ(label().y(), 88);
    hover(500, 100, true);
    EXPECT_FALSE(label().isVisible());
    hover(30, 20, false);
    EXPECT_TRUE(label().isVisible());
    gEditOpRunning = 1;  // an editor operation follows the pointer off the diagram
    hover(30, 20, false);
    EXPECT_FALSE(label().isVisible());
    gEditOpRunning = 0;
}

TEST_F(HoverOnWindow, ThePointElementBeingPlacedNamesItself) {
    BlockRec* block = addBlock({{40, 200}, {100, 200}, {160, 200}}, 7, 'H');
    gSelectedSignal = addSignal({300, 200}, 90, 21, block);
    gInsertingSignal = true;
    hover(500, 100, true);  // away from every element
    ASSERT_TRUE(label().isVisible());
    EXPECT_EQ(label().text().toStdString(), "sein 21  hoek 90\n blok 7  rich H");
    gActiveDialog = 8;  // with a dialog open there is no such default
    hover(500, 100, true);
    EXPECT_FALSE(label().isVisible());
    gActiveDialog = 0;
    gInsertingSignal = false;
    hover(500, 100, true);
    EXPECT_FALSE(label().isVisible());
}

TEST_F(HoverOnWindow, ABlockUnderThePointerIsDescribedAndItsSectionsMarked) {
    buildEveryKind();
    gCmPerUnit = 0.5f;
    gHoverReset = 0;
    redrawSchema(1);
    hover(130, 201, true);  // on the second section (kind 0) of block 7
    ASSERT_TRUE(label().isVisible());
    EXPECT_EQ(label().text().toStdString(),
              "blok 7  sectie 2  ingang 0\nlijnlengte 30.0  hoek 0\nsectielengte 30\ntotale bloklengte 96");
    EXPECT_EQ(label().x(), 140);
    EXPECT_EQ(label().y(), 286);
    EXPECT_EQ(gDiagramCanvas->Pixel(130, 200), kMaroonColour);
    EXPECT_EQ(gDiagramCanvas->Pixel(70, 200), kCyanColour);
    hover(80, 61, true);  // on the first track
    EXPECT_EQ(label().text().toStdString(), "verbindingsspoor\nlijnlengte 30.0  hoek 0\ntotale lengte 58");
    EXPECT_EQ(gDiagramCanvas->Pixel(130, 200), kCyanColour);
    EXPECT_EQ(gDiagramCanvas->Pixel(70, 60), kMaroonColour);
    hover(500, 100, true);
    EXPECT_FALSE(label().isVisible());
    EXPECT_EQ(gDiagramCanvas->Pixel(70, 60), kWhiteColour);
}

TEST_F(HoverOnWindow, NoHoverInformationDuringASession) {
    gRunWithoutTrack = 1;
    hover(30, 20, false);
    EXPECT_FALSE(label().isVisible());
    gRunWithoutTrack = 0;
}

class HoverHighlight : public DiagramWindowTest {
protected:
    void SetUp() override {
        DiagramWindowTest::SetUp();
        buildEveryKind();
        block = gBlocks[0];  // direction 'H', section kinds 1 0 6
        track = gTracks[0];
        gHoverReset = 0;  // left by the start-up load; the timer would have run it down
        redrawSchema(1);
    }
    void hoverOver(int code, int segment) {
        HoverHit hit;
        hit.code = code;
        hit.block = block;
        hit.track = track;
        hit.segment = segment;
        highlightHoverElement(hit);
        updateHoverHighlight(hit);
    }
    void hoverOverNothing() { updateHoverHighlight(HoverHit{}); }
    uint32_t pixel(int x, int y) { return gDiagramCanvas->Pixel(x, y); }
    BlockRec* block = nullptr;
    TrackRec* track = nullptr;
};

TEST_F(HoverHighlight, TheSectionsOfTheHoveredKindUntilThePointerLeaves) {
    hoverOver(402, 0);
    EXPECT_EQ(pixel(70, 200), kMaroonColour);  // section 1, the stop section
    EXPECT_EQ(pixel(130, 200), kCyanColour);
    EXPECT_TRUE(block->state & 0x80);
    EXPECT_EQ(block->occupiedSections, 0);
    EXPECT_EQ(gHoverBlock, block);
    EXPECT_EQ(gHoverSectionKind, 1);
    hoverOver(402, 2);  // another kind in the same block
    EXPECT_EQ(pixel(190, 220), kMaroonColour);
    hoverOverNothing();
    EXPECT_EQ(pixel(70, 200), kCyanColour);
    EXPECT_EQ(pixel(190, 220), kCyanColour);
    EXPECT_FALSE(block->state & 0x80);
    EXPECT_EQ(gHoverBlock, nullptr);
    EXPECT_EQ(pixel(70, 60), kWhiteColour);
}

TEST_F(HoverHighlight, ATrackIsMarkedUntilThePointerLeaves) {
    hoverOver(401, 0);
    EXPECT_EQ(pixel(70, 60), kMaroonColour);
    EXPECT_EQ(gHoverTrack, track);
    hoverOver(402, 0);  // on to the block: the track is drawn plainly again
    EXPECT_EQ(pixel(70, 60), kWhiteColour);
    EXPECT_FALSE(track->vehicleFlags & 0x80);
    EXPECT_EQ(gHoverTrack, nullptr);
    EXPECT_EQ(gHoverBlock, block);
}

TEST_F(HoverHighlight, TheBlockInItsDialogAndAFreshLayoutAreLeftAlone) {
    hoverOver(402, 0);
    gActiveDialog = 6;
    gSelectedBlock = block;
    hoverOverNothing();
    EXPECT_EQ(pixel(70, 200), kMaroonColour);  // the block dialog draws it
    EXPECT_FALSE(block->state & 0x80);
    gActiveDialog = 0;

    hoverOver(401, 0);
    gHoverReset = 1;  // a layout was loaded: the remembered elements may be gone
    hoverOverNothing();
    EXPECT_EQ(gHoverReset, 0);
    EXPECT_EQ(gHoverTrack, nullptr);
    EXPECT_EQ(pixel(70, 60), kMaroonColour);
}

}  // namespace
