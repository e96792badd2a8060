#include "demo_player.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <filesystem>

#include "shell/config/messages.h"
#include "shell/dialogs/untDemo.h"
#include "shell/main/demo.h"
#include "shell/model/app_state.h"
#include "shell/window/untSchema.h"
#include "test_support.h"

namespace fs = std::filesystem;

DemoPlayer::DemoPlayer() {
    const fs::path data = testsupport::fixturePath("../../data");
    fs::copy(data / "demo", program.dir.file("demo"), fs::copy_options::recursive);
    fs::copy_file(data / "vestrel.cfg", program.dir.file("vestrel.cfg"));
    program.start();
    frmSchema->Timer1->stop();
}

void DemoPlayer::tick() {
    const int before = gDemoStep;
    clock.advance(30);
    frmSchema->Timer1Timer();
    if (afterTick) afterTick(before);
}

bool DemoPlayer::tickWhileWaiting(int limit) {
    for (int i = 0; i < limit && gDemoStep < 0; ++i) tick();
    return gDemoStep >= 0;
}

void DemoPlayer::pressVerder() { frmDemo->btnVerder->click(); }

std::string DemoPlayer::playToEnd(int n, int maxPresses) {
    linesShown = 0;
    QString shown;
    auto countLine = [&] {
        if (frmDemo->lblTekst->text() != shown) {
            shown = frmDemo->lblTekst->text();
            ++linesShown;
        }
    };
    showDialogMessage("", 3);
    runDemoStep(n);
    countLine();
    for (int presses = 0; gDemoStep != 0; ++presses) {
        if (!lastDialogMessage().empty()) return "message: " + lastDialogMessage() + " at step " + std::to_string(gDemoStep);
        if (presses > maxPresses) return "still running after " + std::to_string(maxPresses) + " presses, step " + std::to_string(gDemoStep);
        if (gDemoStep < 0) {
            const int waiting = gDemoStep;
            for (int i = 0; i < 20000 && gDemoStep == waiting; ++i) {
                tick();
                countLine();
            }
            if (gDemoStep == waiting) return "waits for ever at step " + std::to_string(-waiting);
            continue;
        }
        if (!frmDemo->btnVerder->isVisible()) return "VERDER hidden at step " + std::to_string(gDemoStep);
        for (int i = 0; i < readingTicks; ++i) tick();
        pressVerder();
        countLine();
    }
    if (!lastDialogMessage().empty()) return "message: " + lastDialogMessage();
    return {};
}
