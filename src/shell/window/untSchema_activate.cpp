// FormActivate: the panels of editor mode or session mode.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>

#include "network/model/net_state.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"
#include "shell/window/status_line.h"
#include "shell/window/untSchema.h"

void TfrmSchema::FormActivate() {
    const bool session = sessionRunning();
    const bool demo = gDemoStep != 0;
    grpCmdpost->setVisible(session);
    grpBestand->setVisible(!session);
    grpStatusTekenpost->setVisible(!session && !gStatusLineShown);
    grpStatus->setVisible(session && !gStatusLineShown);
    if (session) {
        lblKortsluitbeveiliging->setVisible(gRunWithTrack && gSettings.chboDirectBooster &&
                                            !gSettings.chboKortsluitbeveiliging);
        lblInfo->hide();
        cboWissellengte->hide();
        cboWisselbreedte->hide();
    }
    applyMenuStates(session, demo, gNetMode == 40, gActiveDialog == 0);
    if (!session || demo) applyDemoMenu(demo);
}
