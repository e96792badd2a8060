// FormActivate: the panels of editor mode or session mode.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>

#include "network/net_state.h"
#include "shell/app_state.h"
#include "shell/settings.h"
#include "shell/status_line.h"
#include "shell/untSchema.h"

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
