#include "shell/main/main_cycle.h"

#include <QAction>
#include <QMenu>
#include <algorithm>
#include <string>

#include "layout/editor/edit_input.h"
#include "layout/editor/editor_state.h"
#include "layout/editor/measure_readouts.h"
#include "layout/frame/render.h"
#include "layout/model/scale.h"
#include "link/port/decoder_programming.h"
#include "network/sync/client_tick.h"
#include "network/model/net_state.h"
#include "network/sync/server_copy.h"
#include "operation/control/control_post.h"
#include "operation/engine/running_engine.h"
#include "operation/engine/second_tick.h"
#include "operation/engine/speed_calibration.h"
#include "operation/dialogs/untCurve.h"
#include "operation/draw/train_drawing.h"
#include "platform/clock.h"
#include "shell/model/app_state.h"
#include "shell/main/demo.h"
#include "shell/window/hover_info.h"
#include "shell/window/input_routing.h"
#include "shell/model/input_state.h"
#include "shell/config/messages.h"
#include "shell/window/untSchema.h"
#include "steps/engine/step_executor.h"

namespace {

bool gTickInProgress = false;

void enableControlPostMenu(bool enabled) {
    if (frmSchema) frmSchema->mnuStuurpost->menuAction()->setEnabled(enabled);
}

// The engines of a session. An exception in the guarded group skips the rest of the group for this
// tick; the programming sequencer steps also during an emergency stop.
void runSessionTick() {
    if (gEmergencyState == 0) {
        if (gPendingKey) controlPostCommand(gPendingKey, gActiveRow);
        try {
            if (gNetLinkState == 40)
                runTrainsCycleClient();
            else
                runTrainsCycle();
            secondTick();
            if (gNetMode != 40) runStepPrograms();
            markAlarmSections();
        } catch (...) {
        }
    }
    runMmProgrammingStep();
}

void runEditorTick() {
    if (hoverRequest() != 0) showHoverInfo();
    if (gPointerInDiagram) showCursorPosition();
}

// The redraw a resize or a scroll asked for, a few ticks later, and the repaint after pointer movement.
void runDeferredRedraw() {
    if (gRedrawCountdown != 0) {
        --gRedrawCountdown;
        if (gRedrawCountdown == 3) {
            gMousePoint = {50, 50};
            dispatchEditInput(0);
            resetDrawingArea();
            gRedrawCountdown = 2;
        }
    }
    if (gRepaintRequest < 0) {
        ++gRepaintRequest;
        if (frmSchema) frmSchema->FormPaint();
    }
}

void runTickBody() {
    const int64_t start = vestrel::perfCounter();
    gMsTick = vestrel::tickCountMs();
    // Before anything moves on the picture: moving trains restore what lies under them.
    runScheduledFullRedraw();
    if (gTickPeriod == 0) {
        gClockRelearnCount = 0;
        enableControlPostMenu(false);
    }
    learnTickPeriod();
    if (sessionRunning())
        runSessionTick();
    else
        runEditorTick();
    runDeferredRedraw();
    if (gDemoStep < 0) runDemoStep(0);
    if (frmCurve && frmCurve->Tag < 0) runSpeedCalibration(1);
    if (gMoveWhole > 1) --gMoveWhole;
    gPreviousTickTime = gMsTick;
    netServerSendPass();
    netClientSendPass();
    const int64_t counts = vestrel::perfCounter() - start;
    recordCycleTime(static_cast<int32_t>(counts * 1000000 / vestrel::perfFrequency()));
}

}  // namespace

CycleTickGuard::CycleTickGuard() : entered_(!gTickInProgress) { gTickInProgress = true; }

CycleTickGuard::~CycleTickGuard() {
    if (entered_) gTickInProgress = false;
}

void mainCycleTick() {
    const CycleTickGuard guard;
    if (guard.entered()) runTickBody();
}

uint32_t gPreviousTickTime = 0;
int64_t gClockSampleSum = 0;
int gClockSampleCount = 0;
int gClockRelearnCount = 0;

void learnTickPeriod() {
    if (gClockRelearnCount > kClockRelearnLimit) return;
    ++gClockSampleCount;
    const int32_t sample = msBetween(gMsTick, gPreviousTickTime);
    gClockSampleSum += sample;
    const int64_t mean = gClockSampleSum / gClockSampleCount;
    const bool steady = sample >= mean - kClockTolerance && sample <= mean + kClockTolerance;
    if (steady && gClockSampleCount < kClockSamples) return;
    // A timer that alternates between two neighbouring milliseconds is steady: a mean 1 ms from the
    // period is no change.
    const int64_t period = gTickPeriod;
    if (steady && (period == 0 || mean < period - 1 || mean > period + 1)) {
        ++gClockRelearnCount;
        if (gClockRelearnCount > kClockRelearnLimit) {
            showDialogMessage("Clock niet stabiel : " + std::to_string(std::min(period, mean)) + " - " +
                                  std::to_string(std::max(period, mean)),
                              1);
        } else {
            gTickPeriod = static_cast<uint32_t>(mean);
            updateSpeedFactor();
            redrawTrainsForSpeedFactor();
            if (gNetMode != 40 && gDemoStep == 0) enableControlPostMenu(true);
        }
    }
    gClockSampleSum = 0;
    gClockSampleCount = 0;
}
