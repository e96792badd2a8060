#include "shell/main/demo.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <cstdint>
#include <string>

#include "layout/model/layout_model.h"
#include "operation/control/emergency_stop.h"
#include "platform/text_codec.h"
#include "shell/dialogs/untDemo.h"
#include "shell/main/session.h"
#include "shell/model/app_state.h"
#include "shell/config/messages.h"
#include "shell/model/demo_script.h"
#include "shell/window/untSchema.h"

namespace {

const char* const kScriptName = "demo\\vestreldemo_n.txt";

// Ends the demo: nothing it did stays marked as a change, the control post is the user's again.
void finishDemo() {
    gDirtyFlags = 0;
    gLocoDataModified = 0;
    if (frmSchema && frmSchema->grpCmdpost) frmSchema->grpCmdpost->setEnabled(true);
    if (gRunWithTrack)
        toggleControlPostSession(12);
    else if (gRunWithoutTrack)
        toggleControlPostSession(13);
    if (frmDemo) frmDemo->close();
    gDemoStep = 0;
    if (frmSchema) frmSchema->FormActivate();
    gDemoScript.close();
}

// The step gDemoStep (negated while it waits). Every step of the demos is listed here; a number that is
// not, and -1, finish the demo.
void performDemoStep() {
    if (gDemoStep == 0) return;
    finishDemo();
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
