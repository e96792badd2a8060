// The steps of demo 1: the demo layout is loaded, its blocks, turnouts and signals are taken aside as
// models, and the layout is drawn again before the user's eyes through the editor's own input: tool-bar
// clicks, pointer moves and clicks at the models' points, keys, and the element dialogs' OK. Every step
// replays whatever the models are; the text advances once per step, except while one element's points
// are clicked one by one (steps 14 and 22..24), so the explanation lines do not depend on the drawing.
#include <QLineEdit>
#include <QSignalBlocker>
#include <QComboBox>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "layout/dialogs/untSein.h"
#include "layout/dialogs/untSektie.h"
#include "layout/dialogs/untWissel.h"
#include "layout/editor/curve_entry.h"
#include "layout/editor/edit_input.h"
#include "layout/editor/editor_forms.h"
#include "layout/editor/editor_selection.h"
#include "layout/editor/editor_state.h"
#include "layout/editor/entry_state.h"
#include "layout/editor/measure_readouts.h"
#include "layout/editor/placement_loop.h"
#include "layout/files/layout_file.h"
#include "layout/frame/render.h"
#include "layout/model/geometry.h"
#include "layout/model/layout_model.h"
#include "layout/model/scale.h"
#include "shell/config/messages.h"
#include "shell/dialogs/untBestandNieuw.h"
#include "shell/main/demo.h"
#include "shell/main/demo_steps.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"
#include "shell/window/input_routing.h"

namespace {

const char* const kDemoLayout = "demo\\vestreldemo1.vtl";
const char* const kDemoLocos = "demo\\vestreldemo1.loc";
const char* const kTypedName = "demo\\Vestreldemo1";
constexpr int kTypedZoomIndex = 1;
constexpr int kMaxCurvePieces = 9;

// The model elements, taken out of their tables (the records stay alive: the signals and the layout's
// connections point at the model blocks) until step 21 puts them back.
struct Models {
    std::vector<std::unique_ptr<BlockRec>> blocks;
    std::vector<std::unique_ptr<TurnoutRec>> turnouts;
    std::vector<std::unique_ptr<SignalRec>> signalRecords;
    bool taken = false;
};
Models gModels;

// Progress of the replay: the model element being drawn and the index of its next point.
int gDemoElement = 0;
int8_t gDemoClickIndex = 0;
char gDemoTool = 0;  // the tool-bar letter of the tool the demo chose last
// The curve found at the next point: its number of pieces and last point; a curve the editor laid out
// otherwise than the model is not tried again at that point.
int gCurvePiecesFound = 0;
int gCurveEnd = 0;
int gCurveRefusedAt = -1;

// ---- The user's input, as the main window hands it to the editor ----

void movePointer(DiagramPoint p) {
    gPointerInDiagram = 2;
    gMouseButton = 0;
    gPendingKey = 0;
    gMousePoint = p;
    if (gActiveDialog == 0) dispatchEditInput(0);
    requestHoverInfo(p.y * 65536 + p.x);
}

void clickAt(DiagramPoint p, int button = 1) {
    movePointer(p);
    gMouseButton = button;
    routeEditorCommand(0);
    gMouseButton = 0;
}

// The tool-bar button of that letter, clicked at its left edge (the tool bar lies outside the diagram).
void clickTool(char letter) {
    const char* at = std::find(kToolbarLetters, kToolbarLetters + kToolbarButtons, letter);
    if (at == kToolbarLetters + kToolbarButtons) return;
    gPointerInDiagram = 0;
    gMousePoint = {gToolbarX[at - kToolbarLetters], kToolbarTop};
    gMouseButton = 1;
    routeEditorCommand(0);
    gMouseButton = 0;
    gDemoTool = letter;
}

void pressKey(int key, int shift = 0) {
    const int held = gShiftState;
    gMouseButton = 0;
    gPendingKey = static_cast<uint8_t>(key);
    gShiftState = shift;
    routeEditorCommand(0);
    gPendingKey = 0;
    gShiftState = held;
}

// Turns the element that follows the pointer to the model's angle: "w" in steps of 15 degrees, then
// with Shift degree by degree for what remains.
void turnTo(int32_t& angle, int32_t target) {
    int presses = 0;
    int best = std::abs(normalizeAngle(angle - target));
    for (int n = 1, a = angle; n <= 24; ++n) {
        a = turnedAngle(a, -1, false);
        const int off = std::abs(normalizeAngle(a - target));
        if (off < best) {
            best = off;
            presses = n;
        }
    }
    for (int n = 0; n < presses; ++n) pressKey('w');
    for (int n = 0; n < 180 && normalizeAngle(target - angle) != 0; ++n)
        pressKey(normalizeAngle(target - angle) < 0 ? 'w' : 't', 1);
}

// ---- The models ----

template <class Rec, int N>
void takeAll(RecordTable<Rec, N>& table, std::vector<std::unique_ptr<Rec>>& into) {
    into.clear();
    while (table.count() > 0) into.push_back(table.takeAt(0));
}

template <class Rec, int N>
void putBack(RecordTable<Rec, N>& table, std::vector<std::unique_ptr<Rec>>& from) {
    table.clear();
    for (auto& rec : from) table.append(std::move(rec));
    from.clear();
}

void takeModels() {
    takeAll(gSignals, gModels.signalRecords);
    takeAll(gTurnouts, gModels.turnouts);
    takeAll(gBlocks, gModels.blocks);
    gModels.taken = true;
    dropStaleSelections();
}

// What was drawn goes; the models take their places again.
void restoreModels() {
    if (!gModels.taken) return;
    for (int code : {402, 403, 404}) closeElementDialog(code);
    endEditorOperation();
    putBack(gSignals, gModels.signalRecords);
    putBack(gTurnouts, gModels.turnouts);
    putBack(gBlocks, gModels.blocks);
    gModels.taken = false;
    dropStaleSelections();
}

int modelCount(int kind) {
    return static_cast<int>(kind == 'b' ? gModels.blocks.size() : kind == 'w' ? gModels.turnouts.size()
                                                                               : gModels.signalRecords.size());
}

// The number of pieces (3..9) of a half circle that the editor's curve entry would lay out from point
// n - 1 to a later point of the model block, its points exactly the model's; 0 when none starts there.
int curveAt(const BlockRec& m, int n, int& end) {
    if (n < 1 || n == gCurveRefusedAt) return 0;
    const int sections = std::min<int>(m.sections, kMaxSections);
    for (int pieces = 3; pieces <= kMaxCurvePieces && n - 1 + pieces <= sections; ++pieces) {
        const int last = n - 1 + pieces;
        const DiagramPoint from = m.points[n - 1], to = m.points[last];
        if (segmentLength(from, to) < gUnit50cm) continue;
        const DiagramPoint middle{(from.x + to.x) / 2, (from.y + to.y) / 2};
        for (const double step : {180.0 / pieces, -180.0 / pieces}) {
            DiagramPoint q = from;
            bool same = true;
            for (int k = n; k <= last && same; ++k) {
                q = rotatePointBy(q, middle, step);
                same = q == m.points[k];
            }
            if (same) {
                end = last;
                return pieces;
            }
        }
    }
    return 0;
}

bool curveLaidOutAsModel(const BlockRec& m, int n, int end) {
    const BlockRec* b = gEntered.block.get();
    if (!b) return false;
    for (int k = n; k <= end; ++k)
        if (!(b->points[k] == m.points[k])) return false;
    return true;
}

// ---- The steps ----

void advance(int delta = 1) { showNextDemoLine(static_cast<uint8_t>(static_cast<int8_t>(delta))); }

// Step 5: the name dialog is cancelled and the demo layout loaded; its elements become the models.
void loadModels() {
    if (frmBestandNieuw) frmBestandNieuw->btnAnnulerenClick();
    const std::string layout = gLayoutFileName, locos = gLocoFileName;
    gLayoutFileName = kDemoLayout;
    gLocoFileName = kDemoLocos;
    if (loadLayoutFile() != 1) {
        showDialogMessage(std::string("Kan bestand '") + kDemoLayout + "' niet openen !", 1);
        // The finishing reloads the user's own layout.
        gLayoutFileName = layout;
        gLocoFileName = locos;
        gDemoStep = -1;
        return;
    }
    takeModels();
    gDemoElement = 0;
    gDemoClickIndex = 0;
    gCurveRefusedAt = -1;
    redrawSchema(1);
    advance();
}

void placeTurnout(bool click) {
    if (gDemoElement >= modelCount('w')) return;
    const TurnoutRec& m = *gModels.turnouts[gDemoElement];
    if (gDemoTool != m.subtype) {
        endEditorOperation();
        clickTool(m.subtype);
    }
    movePointer(m.legs[0]);
    if (gEntered.turnout) turnTo(gEntered.turnout->angle, m.angle);
    if (click) clickAt(m.legs[0]);
}

// The dialog of a new turnout, signal or block takes the model's number and is confirmed.
void confirmTurnout() {
    if (gDemoElement >= modelCount('w')) return;
    if (frmWissel && frmWissel->isVisible() && gSelectedTurnout) {
        gSelectedTurnout->number = gModels.turnouts[gDemoElement]->number;
        frmWissel->edtNummer->setText(QString::number(gSelectedTurnout->number));
        frmWissel->btnOKClick();
    }
    ++gDemoElement;
}

// Steps 22..24: a curve of the model block entered as a user enters one: "c", its number of pieces,
// and a click at its end.
void curveStep(int step) {
    if (gDemoElement >= modelCount('b')) {
        gDemoStep = 14;
        return;
    }
    const BlockRec& m = *gModels.blocks[gDemoElement];
    const int n = gDemoClickIndex;
    if (step == 22) {
        // "c" lays out a curve from the last point to the pointer.
        movePointer(m.points[gCurveEnd]);
        pressKey('c');
        gDemoStep = 23;
        return;
    }
    if (step == 23) {
        // The number of pieces; without a direction leading in, the space bar bends it to the other side.
        // The pointer is brought back first: the user's own went to "VERDER" meanwhile.
        movePointer(m.points[gCurveEnd]);
        pressKey('0' + gCurvePiecesFound);
        if (!curveLaidOutAsModel(m, n, gCurveEnd)) pressKey(' ');
        if (!curveLaidOutAsModel(m, n, gCurveEnd)) {
            pressKey(27);  // back to straight entry: the points are clicked one by one
            gCurveRefusedAt = n;
            gDemoStep = 14;
            return;
        }
        gDemoStep = 24;
        return;
    }
    // The click takes the curve and fixes its last point.
    clickAt(m.points[gCurveEnd]);
    gDemoClickIndex = static_cast<int8_t>(gCurveEnd + 1);
    if (elementDialogVisible(402))
        advance(15 - 24);
    else
        gDemoStep = 14;
}

// Step 14: the next point of the model block (or the curve that starts there); the block is complete
// when its dialog opens.
void clickBlockPoint() {
    if (gDemoElement >= modelCount('b')) {
        advance();
        return;
    }
    const BlockRec& m = *gModels.blocks[gDemoElement];
    const int n = gDemoClickIndex;
    const int last = std::min<int>(m.sections, kMaxSections);
    if ((gCurvePiecesFound = curveAt(m, n, gCurveEnd)) != 0) {
        curveStep(22);
        return;
    }
    clickAt(m.points[std::min(n, last)]);
    gDemoClickIndex = static_cast<int8_t>(n + 1);
    // A last point in free space ends the block with the second click of a double click.
    if (n >= last && !elementDialogVisible(402)) clickAt(m.points[last]);
    if (elementDialogVisible(402) || n >= last) advance();
}

void fillBlockDialog() {
    BlockRec* b = gSelectedBlock;
    if (gDemoElement < modelCount('b') && frmSektie && frmSektie->isVisible() && b) {
        const BlockRec& m = *gModels.blocks[gDemoElement];
        b->number = m.number;
        frmSektie->edtNummer->setText(QString::number(m.number));
        const int sections = std::min<int>(b->sections, kMaxSections);
        for (int s = 0; s < sections; ++s) {
            b->sectionKinds[s] = m.sectionKinds[s];
            b->sectionInputs[s + 1] = m.sectionInputs[s + 1];
        }
        frmSektie->fillSectionGrid();
    }
    advance();
}

void confirmBlock() {
    if (frmSektie && frmSektie->isVisible()) frmSektie->btnOKClick();
    ++gDemoElement;
    gDemoClickIndex = 0;
    gCurveRefusedAt = -1;
    if (gDemoElement < modelCount('b'))
        advance(14 - 16);
    else
        advance();
}

void placeSignal(bool click) {
    if (gDemoElement >= modelCount('s')) return;
    const SignalRec& m = *gModels.signalRecords[gDemoElement];
    movePointer(m.outline[0]);
    if (gEntered.signal) turnTo(gEntered.signal->angle, m.angle);
    if (click) clickAt(m.outline[0]);
}

void confirmSignal() {
    if (gDemoElement < modelCount('s') && frmSein && frmSein->isVisible() && gSelectedSignal) {
        gSelectedSignal->number = gModels.signalRecords[gDemoElement]->number;
        frmSein->edtNummer->setText(QString::number(gSelectedSignal->number));
        frmSein->btnOKClick();
    }
    ++gDemoElement;
    if (gDemoElement < modelCount('s'))
        advance(18 - 20);
    else
        advance();
}

}  // namespace

void endEditorOperation() {
    for (int k = 0; k < 4 && gEditOpRunning; ++k) {
        gPointerInDiagram = 2;
        gPendingKey = 0;
        gMouseButton = 2;
        dispatchEditInput(0);
    }
    gMouseButton = 0;
}

bool performDrawingDemoStep(int step) {
    switch (step) {
    case 1:
        // The introduction stays until the first "VERDER".
        gDemoStep = 2;
        return true;
    case 2: advance(); return true;
    case 3:
        routeEditorCommand(1001);
        advance();
        return true;
    case 4:
        if (frmBestandNieuw && frmBestandNieuw->isVisible()) {
            // Typed as it stands: the dialog, which would drop the backslash, is cancelled next.
            const QSignalBlocker typing(frmBestandNieuw->edtNaam);
            frmBestandNieuw->edtNaam->setText(QString::fromLatin1(kTypedName));
            frmBestandNieuw->cboZoom->setCurrentIndex(kTypedZoomIndex);
        }
        advance();
        return true;
    case 5: loadModels(); return true;
    case 6:
        if (modelCount('w') > 0) clickTool(gModels.turnouts[0]->subtype);
        advance();
        return true;
    case 7:
    case 10:
        placeTurnout(true);
        advance();
        return true;
    case 8:
    case 11:
        confirmTurnout();
        advance();
        return true;
    case 9:
        placeTurnout(false);
        advance();
        return true;
    case 12: advance(); return true;
    case 13:
        endEditorOperation();
        clickTool('b');
        gDemoElement = 0;
        gDemoClickIndex = 0;
        advance();
        return true;
    case 14: clickBlockPoint(); return true;
    case 15: fillBlockDialog(); return true;
    case 16: confirmBlock(); return true;
    case 17:
        endEditorOperation();
        clickTool('s');
        gDemoElement = 0;
        advance();
        return true;
    case 18:
    case 19:
        placeSignal(step == 19);
        advance();
        return true;
    case 20: confirmSignal(); return true;
    case 21:
        restoreModels();
        gDemoStep = -1;
        return true;
    case 22:
    case 23:
    case 24: curveStep(step); return true;
    default: return false;
    }
}
