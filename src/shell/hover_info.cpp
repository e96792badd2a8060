// Finding what lies under the pointer for the hover information and showing the label.
#include <QComboBox>
#include <QLabel>
#include <algorithm>

#include "layout/editor_dispatch.h"
#include "layout/editor_state.h"
#include "layout/render.h"
#include "operation/element_picks.h"
#include "platform/text_codec.h"
#include "shell/app_state.h"
#include "shell/hover_info.h"
#include "shell/image_view.h"
#include "shell/input_state.h"
#include "shell/untSchema.h"

int32_t gInfoTag = 0;

namespace {

bool turnoutTool(int code) { return code == 'k' || code == 'l' || code == 'r' || code == 'x'; }

// The first element test that answers, in the order the hover information tries them.
HoverHit pickElement() {
    HoverHit h;
    int point = 0;
    if ((h.code = pickTurnoutAt(h.turnout))) return h;
    if ((h.code = pickSignalAt(h.signal))) return h;
    if ((h.code = pickOutputAt(h.output))) return h;
    if ((h.code = pickInputAt(h.input))) return h;
    if ((h.code = pickTurntableAt(h.turntable, h.turntableTrack))) return h;
    if ((h.code = pickStepBoxAt(h.stepBox))) return h;
    if ((h.code = pickBlockAt(h.block, point, h.segment))) return h;
    if ((h.code = pickTrackAt(h.track, point, h.segment))) return h;
    h.code = hitLayerButton();
    return h;
}

// The point element an editor operation is placing names itself while nothing else is hit.
HoverHit elementInHand() {
    HoverHit h;
    if (gActiveDialog != 0) return h;
    switch (editedPointElement()) {
        case 403: h.turnout = gSelectedTurnout; break;
        case 404: h.signal = gSelectedSignal; break;
        case 405: h.output = gSelectedOutput; break;
        case 406: h.input = gSelectedInput; break;
        case 408: h.stepBox = gCurStepBox; break;
        default: return h;
    }
    if (h.turnout || h.signal || h.output || h.input || h.stepBox) h.code = editedPointElement();
    return h;
}

void hideHoverInfo(TfrmSchema& f) {
    f.lblInfo->hide();
    f.cboWissellengte->hide();
    f.cboWisselbreedte->hide();
}

void placeTurnoutSizeChoice(TfrmSchema& f, int code) {
    const int button = static_cast<int>(std::find(kToolbarLetters, kToolbarLetters + kToolbarButtons, code) - kToolbarLetters);
    f.cboWissellengte->move(gToolbarX[button], f.cboWissellengte->y());
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

void showHoverInfo() {
    const DiagramPoint p{gInfoTag & 0xFFFF, (gInfoTag >> 16) & 0xFFFF};
    const HoverHit hit = findHoverHit(p);
    gInfoTag = 0;
    if (frmSchema) {
        const bool editedTurntable = hit.code == 407 && gActiveDialog == 11 && hit.turntable == gSelectedTurntable;
        if (hit.code == 0 || (gEditOpRunning && !gPointerInDiagram) || editedTurntable)
            hideHoverInfo(*frmSchema);
        else
            showLabel(*frmSchema, hit, p);
    }
    updateHoverHighlight(hit);
}
