#include "layout/editor/editor_forms.h"

#include <QDialog>
#include <QTimer>
#include <QVariant>

#include "layout/editor/entry_handoff.h"
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

// Until every element dialog is built, a newly entered element whose dialog is missing is taken with the
// properties the editor gave it, as if its dialog had been confirmed at once (the insertion then goes on
// with the next element).
bool elementDialogBuilt(int code) { return code == 401 || code == 403 || code == 405 || code == 406; }

void confirmNewElementLater(int code) {
    // After the placement loop has marked the element committed and waiting for its dialog.
    QTimer::singleShot(0, [code] {
        switch (code) {
        case 402: storeNewBlock(); break;
        case 403: storeNewTurnout(); break;
        case 404: storeNewSignal(); break;
        case 405: storeNewOutput(); break;
        case 406: storeNewInput(); break;
        case 408: storeNewStepProgram(); break;
        default: break;
        }
    });
}

}  // namespace

void showElementDialog(int code) {
    if (!elementDialogBuilt(code) && newElementEntered(code)) {
        confirmNewElementLater(code);
        return;
    }
    showForm(elementDialog(code));
}

void closeElementDialog(int code) {
    if (QDialog* form = elementDialog(code)) form->close();
}

bool elementDialogVisible(int code) {
    QDialog* form = elementDialog(code);
    return form && form->isVisible();
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
