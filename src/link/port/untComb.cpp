#include "link/port/untComb.h"

#include "link/port/link_port.h"

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

// The filler pattern is not sent yet: a format change is answered at once.
void TComb::Execute() {
    while (!Terminated() && gLinkOpen) {
        gComRequest = 0;
        sleepMs(1);
    }
    gCombRunning = false;
}
