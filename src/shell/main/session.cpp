#include "shell/main/session.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>

#include "layout/dialogs/untDraaischijf.h"
#include "layout/dialogs/untIngang.h"
#include "layout/dialogs/untSein.h"
#include "layout/dialogs/untSektie.h"
#include "layout/dialogs/untSpoor.h"
#include "layout/dialogs/untUitgang.h"
#include "layout/dialogs/untWissel.h"
#include "link/dialogs/untProg.h"
#include "link/port/link_port.h"
#include "operation/dialogs/untCurve.h"
#include "operation/dialogs/untFunctieDec.h"
#include "operation/dialogs/untLok.h"
#include "operation/dialogs/untLoks.h"
#include "operation/dialogs/untTijd.h"
#include "operation/dialogs/untTraject.h"
#include "operation/dialogs/untTrein.h"
#include "operation/dialogs/untWagons.h"
#include "shell/config/settings_pages.h"
#include "shell/dialogs/untBoodschap.h"
#include "shell/dialogs/untInstellingen.h"
#include "shell/main/demo.h"
#include "shell/main/session_steps.h"
#include "shell/model/app_state.h"
#include "shell/window/status_line.h"
#include "shell/window/untSchema.h"
#include "steps/dialogs/untStappen.h"

namespace {

constexpr int kWithTrack = 12;
constexpr int kWithoutTrack = 13;

// Set while the link stands open only for a start with track control that has not happened yet.
bool gLinkOpenedForStart = false;

// Mode 13 while running with track control becomes a session without, and the other way round.
void switchSessionKind(int mode) {
    if (mode == kWithoutTrack) {
        gRunWithTrack = 0;
        gRunWithoutTrack = 1;
        applyFeedbackVisualisation(0);
    } else {
        gRunWithTrack = 1;
        gRunWithoutTrack = 0;
    }
}

void closeIfVisible(QWidget* form) {
    if (form && form->isVisible()) form->close();
}

}  // namespace

int toggleControlPostSession(int mode) {
    int result = 0;
    if ((mode == kWithTrack && gRunWithTrack) || (mode == kWithoutTrack && gRunWithoutTrack)) {
        result = stopSession(mode);
    } else if ((mode == kWithTrack && !gRunWithoutTrack) || (mode == kWithoutTrack && !gRunWithTrack)) {
        result = startSession(mode);
    } else {
        switchSessionKind(mode);
        return 0;
    }
    if (result == 1) {
        gLinkOpenedForStart = false;
        if (gEditMode != 0) {
            gEditMode = 0;
            clearStatusLine();
        }
        if (frmSchema) frmSchema->FormActivate();
    }
    return result;
}

void mnuMetSturingClick() {
    if (gDemoStep != 0) {
        runDemoStep(-1);
    } else if (gRunWithTrack) {
        toggleControlPostSession(kWithTrack);
    } else if (gRunWithoutTrack) {
        toggleControlPostSession(kWithoutTrack);
    } else {
        if (!gLinkOpen) {
            openCommandStationLink();
            gLinkOpenedForStart = gLinkOpen != 0;
        }
        if (!gLinkOpen) return;
        toggleControlPostSession(kWithTrack);
        // Refused, or waiting for the direction dialog (which goes on or gives up later).
        if (!sessionRunning() && gEditMode != static_cast<uint32_t>(kWithTrack)) abandonSessionStart();
    }
}

void mnuZonderSturingClick() { toggleControlPostSession(kWithoutTrack); }

void abandonSessionStart() {
    if (gLinkOpenedForStart && !sessionRunning()) closeCommandStationLink();
    gLinkOpenedForStart = false;
}

void closeAllDialogs(int keep) {
    QWidget* const elementDialogs[] = {frmSpoor, frmSektie, frmWissel, frmSein, frmUitgang, frmIngang,
                                       frmDraaischijf, frmStappen};
    for (int i = 0; i < 8; ++i)
        if (keep != 401 + i) closeIfVisible(elementDialogs[i]);
    for (QWidget* form : std::initializer_list<QWidget*>{frmLok, frmLoks, frmTrein, frmWagons, frmTraject, frmProg,
                                                          frmTijd, frmBoodschap, frmCurve, frmFunctieDec})
        closeIfVisible(form);
    if (keep != 1) {
        closeIfVisible(frmInstellingen);
    } else if (frmInstellingen && !frmInstellingen->isVisible()) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            frmInstellingen->move(area.center() - frmInstellingen->rect().center());
        }
        showSettingsPage(2);
    }
}
