#include "link/port/parallel_feedback.h"

#include <string>

#include "link/port/link_port.h"
#include "shell/config/messages.h"
#include "shell/model/settings.h"

std::unique_ptr<vestrel::ParallelPort> gParallelPort;

uint8_t portReadByte(uint16_t port) {
    if (!gParallelPort) return 0;
    const uint16_t base = static_cast<uint16_t>(gSettings.edtLPTAdres);
    if (port == base) return gParallelPort->readData();
    if (port == base + 1) return gParallelPort->readStatus();
    if (port == base + 2) return gParallelPort->readControl();
    return 0;
}

void portWriteByte(uint16_t port, uint8_t value) {
    if (!gParallelPort) return;
    const uint16_t base = static_cast<uint16_t>(gSettings.edtLPTAdres);
    if (port == base) gParallelPort->writeData(value);
    else if (port == base + 2) gParallelPort->writeControl(value);
}

void openParallelPortFeedback() {
    const char which = gSettings.cboS88poort;
    gParallelPort = vestrel::openParallelPort(std::string("LPT") + which);
    if (!gParallelPort) {
        showDialogMessage("Kan parallelle poort niet openen", 1);
        return;
    }
    const uint16_t data = static_cast<uint16_t>(gSettings.edtLPTAdres);
    portWriteByte(data, 1);
    if (portReadByte(data) == 1) {
        gFeedbackPort = static_cast<uint8_t>(which);
    } else {
        showDialogMessage("Parallelle poort is niet beschikbaar", 1);
        gParallelPort.reset();
    }
}

void closeParallelPortFeedback() { gParallelPort.reset(); }
