#include "shell/main/demo.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <cstdint>
#include <string>

#include "layout/editor/editor_forms.h"
#include "layout/files/layout_file.h"
#include "layout/frame/render.h"
#include "layout/model/display_settings.h"
#include "layout/model/layout_model.h"
#include "operation/control/control_post.h"
#include "operation/control/emergency_stop.h"
#include "operation/dialogs/untTraject.h"
#include "platform/text_codec.h"
#include "shell/dialogs/untDemo.h"
#include "shell/dialogs/untInstellingen.h"
#include "shell/main/demo_steps.h"
#include "shell/main/session.h"
#include "shell/model/app_state.h"
#include "shell/config/messages.h"
#include "shell/dialogs/untBestandNieuw.h"
#include "shell/model/demo_script.h"
#include "shell/model/settings.h"
#include "shell/window/untSchema.h"

namespace {

const char* const kScriptName = "demo\\vestreldemo_n.txt";

// The settings as they were before the demo: a demo changes several (short-train length, what is shown,
// the running checks) and none of that may stay with the user's own layout or reach vestrel.cfg.
Settings gSettingsBeforeDemo;

// Without a session the demo worked in the editor: what it left open goes, and the layout comes back as
// it is on disk.
void reloadAfterEditing() {
    for (int code = 401; code <= 408; ++code) closeElementDialog(code);
    if (frmBestandNieuw && frmBestandNieuw->isVisible()) frmBestandNieuw->btnAnnulerenClick();
    // The route editor holds blocks of the layout that the reload frees.
    if (frmTraject && frmTraject->isVisible()) frmTraject->close();
    endEditorOperation();
    // The reload writes the settings to vestrel.cfg: they are the user's again first.
    gSettings = gSettingsBeforeDemo;
    loadLayoutFile();
    redrawSchema(1);
}

}  // namespace

// Ends the demo: nothing it did stays marked as a change, the control post is the user's again.
void finishDemo() {
    // The user's settings first, so that the diagram drawn when the session stops shows what they chose.
    gSettings = gSettingsBeforeDemo;
    gDirtyFlags = 0;
    gLocoDataModified = 0;
    if (frmSchema && frmSchema->grpCmdpost) frmSchema->grpCmdpost->setEnabled(true);
    if (!gRunWithTrack && !gRunWithoutTrack) reloadAfterEditing();
    if (gRunWithTrack)
        toggleControlPostSession(12);
    else if (gRunWithoutTrack)
        toggleControlPostSession(13);
    // Opened by a step, with its pages locked for the demo: not left behind.
    if (frmInstellingen && frmInstellingen->isVisible()) frmInstellingen->close();
    if (frmDemo) frmDemo->close();
    gDemoStep = 0;
    if (frmSchema) frmSchema->FormActivate();
    // The demo played the detectors itself: the polls start again, and the blocks are shown as the
    // user's own setting has them.
    if (gNoFeedbackPoll) {
        gNoFeedbackPoll = 0;
        applyFeedbackVisualisation(gShowBlockFeedback);
    }
    gDemoScript.close();
}

namespace {

// The step gDemoStep (negated while it waits). A step number no demo knows, and -1, finish the demo.
void performDemoStep() {
    if (gDemoStep == 0) return;
    if (gDemoStep != -1) {
        const int step = gDemoStep < 0 ? -gDemoStep : gDemoStep;
        bool known = false;
        if (step <= 50)
            known = performDrawingDemoStep(step);
        else if ((step > 100 && step <= 200) || (step > 250 && step <= 300))
            known = performTrainDemoStep(step);
        else
            known = performRouteDemoStep(step);
        if (known && gDemoStep != -1) return;
    }
    finishDemo();
}

// Demos 2..7 run on one of the two demo layouts, with what each demo shows; those that drive trains
// without track control start their session here. False (the demo finished) when the layout cannot be
// loaded.
bool loadDemoLayout(int n) {
    const bool second = n == 2 || n == 5 || n == 7;
    const std::string userLayout = gLayoutFileName;
    const std::string userLocos = gLocoFileName;
    gLayoutFileName = second ? "demo\\vestreldemo2.vtl" : "demo\\vestreldemo1.vtl";
    gLocoFileName = second ? "demo\\vestreldemo2.loc" : "demo\\vestreldemo1.loc";
    if (loadLayoutFile() != 1) {
        showDialogMessage("Kan bestand '" + gLayoutFileName + "' niet openen !", 1);
        // The failed load has emptied the tables and named the demo files in vestrel.cfg: the user's own
        // layout comes back, and with it the configuration.
        gLayoutFileName = userLayout;
        gLocoFileName = userLocos;
        loadLayoutFile();
        finishDemo();
        return false;
    }
    gSettings.edtLengteKorte = n == 5 || n == 7 ? 70 : 120;
    gShowConnections = 1;
    if (n == 3 || n == 4 || n == 5 || n == 7) toggleControlPostSession(13);
    if (frmSchema && frmSchema->grpCmdpost) frmSchema->grpCmdpost->setEnabled(false);
    return true;
}

void startDemo(int n) {
    if (gDirtyFlags) {
        showDialogMessage("De huidige spoorbaan is gewijzigd en nog niet opgeslagen !", 1);
        return;
    }
    if (!gDemoScript.open(kScriptName)) {
        showDialogMessage(std::string("Kan bestand '") + kScriptName + "' niet openen !", 1);
        return;
    }
    gSettingsBeforeDemo = gSettings;
    std::string line;
    gDemoScript.readLine(line);
    frmDemo->lblTekst->setText(vestrel::fromCp1252(line));
    frmDemo->btnVerder->show();
    gDemoStep = static_cast<int16_t>(n * 50 - 49);
    // A text without this demo's chapter, or with a title under 10 characters, ends it without a word.
    std::string title;
    if (!gDemoScript.skipToChapter(n) || !gDemoScript.readLine(title) || title.size() < 10) {
        finishDemo();
        return;
    }
    frmDemo->setWindowTitle(vestrel::fromCp1252(title));
    if (n >= 2 && !loadDemoLayout(n)) return;
    frmDemo->show();
    frmDemo->placeAtBottom();
    performDemoStep();
}

}  // namespace

void showNextDemoLine(int delta) {
    std::string line;
    gDemoScript.readLine(line);
    if (frmDemo) frmDemo->lblTekst->setText(vestrel::fromCp1252(line));
    gDemoStep = static_cast<int16_t>(gDemoStep + static_cast<int8_t>(static_cast<uint8_t>(delta)));
}

void runDemoStep(int step) {
    if (step > 0) {
        if (frmDemo) startDemo(step);
        return;
    }
    if (step == -1) {
        if (sessionRunning()) {
            emergencyStopAll(1);
            gEmergencyState = 0;
        }
        // The drawing demo first puts back the model elements it hid (its step 21).
        gDemoStep = gDemoStep >= 6 && gDemoStep <= 50 ? 21 : -1;
    }
    performDemoStep();
}
