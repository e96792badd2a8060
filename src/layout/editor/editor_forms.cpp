#include "layout/editor/editor_forms.h"

#include <QDialog>
#include <QVariant>

#include "layout/draw/element_draw.h"
#include "layout/editor/editor_state.h"
#include "layout/model/turntable_tracks.h"
#include "layout/dialogs/element_dialog.h"
#include "layout/dialogs/untDraaischijf.h"
#include "layout/dialogs/untEerstePunt.h"
#include "layout/dialogs/untIngang.h"
#include "layout/dialogs/untSein.h"
#include "layout/dialogs/untSektie.h"
#include "layout/dialogs/untSpoor.h"
#include "layout/dialogs/untUitgang.h"
#include "layout/dialogs/untWissel.h"
#include "operation/dialogs/untTraject.h"
#include "shell/dialogs/untBestandNieuw.h"
#include "shell/dialogs/untBestandOpenen.h"
#include "shell/dialogs/untBestandOpslaan.h"
#include "shell/window/untSchema.h"
#include "steps/dialogs/untStappen.h"

namespace {

QDialog* elementDialog(int code) {
    switch (code) {
    case 401: return frmSpoor;
    case 402: return frmSektie;
    case 403: return frmWissel;
    case 404: return frmSein;
    case 405: return frmUitgang;
    case 406: return frmIngang;
    case 407: return frmDraaischijf;
    case 408: return frmStappen;
    default: return nullptr;
    }
}

void showForm(QDialog* form) {
    if (!form) return;
    // An element dialog already open is refilled for the element picked now.
    auto* element = qobject_cast<TElementDialog*>(form);
    if (element && element->isVisible()) element->FormActivate();
    form->show();
    form->raise();
}

}  // namespace

void showElementDialog(int code) {
    showForm(elementDialog(code));
}

void closeElementDialog(int code) {
    if (QDialog* form = elementDialog(code)) form->close();
}

bool elementDialogVisible(int code) {
    QDialog* form = elementDialog(code);
    return form && form->isVisible();
}

void toggleTurntableOnDiagram(TurntableRec* t, int end) {
    if (!t) return;
    drawTurntable(*t, 1, 0);
    toggleTurntableTrack(t, end);
    drawTurntable(*t, 0, 0);
    if (frmDraaischijf && t == gSelectedTurntable) frmDraaischijf->fillTargets();
}

void setStepDialogTag(int tag) {
    if (frmStappen) frmStappen->Tag = tag;
}

void showRouteDialog() { showForm(frmTraject); }

void activateRouteDialog() {
    if (frmTraject) frmTraject->FormActivate();
}

void activateDirectionDialog() {
    if (frmEerstePunt) frmEerstePunt->FormActivate();
}

void showSaveQuestion() { showForm(frmBestandOpslaan); }
void showNewFileDialog() { showForm(frmBestandNieuw); }
void showOpenFileDialog() { showForm(frmBestandOpenen); }

void closeMainWindow() {
    if (frmSchema) frmSchema->close();
}
