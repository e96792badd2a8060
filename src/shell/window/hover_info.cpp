// Finding what lies under the pointer for the hover information and showing the label.
#include <QComboBox>
#include <QLabel>
#include <algorithm>

#include "layout/editor/editor_state.h"
#include "layout/editor/point_entry.h"
#include "layout/frame/render.h"
#include "operation/control/element_picks.h"
#include "platform/text_codec.h"
#include "shell/model/app_state.h"
#include "shell/window/hover_info.h"
#include "shell/window/image_view.h"
#include "shell/window/input_routing.h"
#include "shell/model/input_state.h"
#include "shell/window/untSchema.h"

namespace {

bool turnoutTool(int code) { return code == 'k' || code == 'l' || code == 'r' || code == 'x'; }

HoverHit fromPick(int code, const PickHit& p) {
    HoverHit h;
    h.code = code;
    h.segment = p.segment;
    h.turntableTrack = p.track;
    switch (code) {
        case 401: h.track = static_cast<TrackRec*>(p.element); break;
        case 402: h.block = static_cast<BlockRec*>(p.element); break;
        case 403: h.turnout = static_cast<TurnoutRec*>(p.element); break;
        case 404: h.signal = static_cast<SignalRec*>(p.element); break;
        case 405: h.output = static_cast<OutputRec*>(p.element); break;
        case 406: h.input = static_cast<InputRec*>(p.element); break;
        case 407: h.turntable = static_cast<TurntableRec*>(p.element); break;
        case 408: h.stepBox = static_cast<StepProgramRec*>(p.element); break;
        default: break;
    }
    return h;
}

// The first element test that answers, in the order the hover information tries them.
HoverHit pickElement() {
    PickHit p;
    for (auto pick : {pickTurnoutAt, pickSignalAt, pickOutputAt, pickInputAt})
        if (int code = pick(-1, p)) return fromPick(code, p);
    if (int code = pickTurntableAt(p)) return fromPick(code, p);
    if (int code = pickStepBoxAt(-1, p)) return fromPick(code, p);
    if (int code = pickBlockAt(p)) return fromPick(code, p);
    if (int code = pickTrackAt(p)) return fromPick(code, p);
    HoverHit h;
    h.code = hitLayerButton();
    return h;
}

// The point element being inserted or moved names itself while nothing else is hit.
HoverHit elementInHand() {
    HoverHit h;
    if (gActiveDialog != 0) return h;
    if (gInsertingTurnout || gMovingTurnout) {
        h.turnout = gSelectedTurnout;
        h.code = h.turnout ? 403 : 0;
    } else if (gInsertingSignal || gMovingSignal) {
        h.signal = gSelectedSignal;
        h.code = h.signal ? 404 : 0;
    } else if (gInsertingOutput || gMovingOutput) {
        h.output = gSelectedOutput;
        h.code = h.output ? 405 : 0;
    } else if (gInsertingInput || gMovingInput) {
        h.input = gSelectedInput;
        h.code = h.input ? 406 : 0;
    } else if (gInsertingStepBox || gMovingStepBox) {
        h.stepBox = gCurStepBox;
        h.code = h.stepBox ? 408 : 0;
    }
    return h;
}

void hideHoverInfo(TfrmSchema& f) {
    f.lblInfo->hide();
    f.cboWissellengte->hide();
    f.cboWisselbreedte->hide();
}

void placeTurnoutSizeChoice(TfrmSchema& f, int code) {
    const char* letter = std::find(kToolbarLetters, kToolbarLetters + kToolbarButtons, code);
    f.cboWissellengte->move(gToolbarX[letter - kToolbarLetters], f.cboWissellengte->y());
}

void showLabel(TfrmSchema& f, const HoverHit& hit, DiagramPoint p) {
    std::string text = vestrel::toCp1252(f.lblInfo->text());
    if (hoverText(hit, text)) f.lblInfo->setText(vestrel::fromCp1252(text));
    highlightHoverElement(hit);
    if (turnoutTool(hit.code)) placeTurnoutSizeChoice(f, hit.code);
    f.lblInfo->adjustSize();
    const LabelPlace place = hoverLabelPlace(p, gPointerInDiagram != 0, f.lblInfo->width(), f.lblInfo->height(),
                                             f.ClientArea->width(), gCanvasSize.height);
    f.lblInfo->move(place.left, place.top);
    f.lblInfo->show();
    f.lblInfo->raise();
    const bool sizeChoice = gTurnoutSizeMode == 1 && turnoutTool(hit.code);
    f.cboWissellengte->setVisible(sizeChoice);
    f.cboWisselbreedte->setVisible(sizeChoice);
    if (sizeChoice) f.cboWisselbreedte->move(f.cboWissellengte->x(), f.cboWisselbreedte->y());
    gRepaintRequest = -2;
}

}  // namespace

HoverHit findHoverHit(DiagramPoint p) {
    const DiagramPoint saved = gMousePoint;
    gMousePoint = p;
    HoverHit h;
    hitToolbar(h.code);
    if (h.code == 0 && gPointerInDiagram) h = pickElement();
    if (h.code == 0) h = elementInHand();
    gMousePoint = saved;
    return h;
}

LabelPlace hoverLabelPlace(DiagramPoint p, bool overDiagram, int labelWidth, int labelHeight, int clientWidth,
                           int canvasHeight) {
    if (!overDiagram) return {p.x - labelWidth / 2, -2};
    return {p.x + 10 + std::min(0, clientWidth - p.x - 10 - labelWidth),
            p.y + 85 + std::min(0, canvasHeight - p.y - labelHeight - 108)};
}

int32_t hoverRequest() { return frmSchema ? frmSchema->lblInfo->property("Tag").toInt() : 0; }

void showHoverInfo() {
    const int32_t tag = hoverRequest();
    const DiagramPoint p{tag & 0xFFFF, (tag >> 16) & 0xFFFF};
    const HoverHit hit = findHoverHit(p);
    requestHoverInfo(0);
    if (frmSchema) {
        const bool editedTurntable = hit.code == 407 && gActiveDialog == 11 && hit.turntable == gSelectedTurntable;
        if (hit.code == 0 || (gEditOpRunning && !gPointerInDiagram) || editedTurntable)
            hideHoverInfo(*frmSchema);
        else
            showLabel(*frmSchema, hit, p);
    }
    updateHoverHighlight(hit);
}
