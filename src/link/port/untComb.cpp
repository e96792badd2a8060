#include "link/port/untComb.h"

#include "link/port/filler_burst.h"
#include "link/port/link_port.h"
#include "shell/model/app_state.h"

std::unique_ptr<TComb> gCombThread;
std::atomic<bool> gCombRunning{false};

TComb::TComb() {
    gCombRunning = true;
    start();
}

TComb::~TComb() {
    Terminate();
    WaitFor();
}

// While the track port changes its format (gComRequest), the other port keeps the booster supplied with
// a filler burst in its own format; then the change may go on.
void TComb::Execute() {
    while (!Terminated() && gLinkOpen) {
        if (!gPortB) break;
        if (!gRunWithTrack || (gEmergencyState & 0x10) || !gComRequest) {
            sleepMs(5);
            continue;
        }
        const bool trackIsA = gTrackPort.load() == gPortA.get();
        vestrel::SerialPort* other = trackIsA ? gPortB.get() : gPortA.get();
        if (other) sendFillerBurst(*other, gPortFormat[trackIsA ? 1 : 0], gFormatSwitchMs.load());
        gComRequest = 0;
    }
    gCombRunning = false;
}
