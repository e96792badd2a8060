#include "operation/control/emergency_stop.h"

#include <cstdint>

#include "layout/frame/render.h"
#include "link/port/decoder_programming.h"
#include "link/buffers/link_buffers.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "operation/control/loco_operation.h"
#include "operation/model/train_model.h"
#include "platform/gui_thread.h"
#include "shell/model/app_state.h"
#include "shell/config/messages.h"

namespace {

const char* const kMsgStop =
    "Het noodstopbevel werd gegeven ! Druk OK om het vrijgavebevel te geven en verder te kunnen werken.";
const char* const kMsgShortCircuit =
    "Korsluiting booster werd gedetecteerd ! De korsluitbeveiliging kan afgezet worden via 'instelling'. "
    "Druk OK om de booster terug in te schakelen.";
const char* const kMsgStartWithTrack =
    "De stuurpost word gestart met spoorbaansturing. De treinen kunnen slechts overgaan naar een volgend "
    "blok indien de juiste terugmeldingen binnengelezen worden ! Druk OK om het vrijgavebevel te geven en "
    "de spanning naar de sporen in te schakelen.";
const char* const kMsgComPort = "De COM-poort werkt niet meer ! Sluit de stuurpost af en sla indien gewenst de locs op.";
const char* const kMsgPowerOff = "Voeding van de centrale is uit !";
const char* const kMsgNoCommunication = "Geen communicatie met centrale !";

void stopAllTrains() {
    for (LocoRec* loco : gLocsOnTrack) {
        if (loco->running) toggleLocoRun(loco);
        loco->targetStep = 0;
        loco->currentStep = 0;
        showLocoSpeed(loco, 0);
        queueLocoSpeed(loco, 1);
    }
}

// The message of a reason, or null when it shows none now.
const char* messageFor(int reason) {
    switch (reason) {
    case 1: return gMmProgState != 0 ? nullptr : kMsgStop;
    case 3: return kMsgShortCircuit;
    case 4: return gMessageShown ? nullptr : kMsgStartWithTrack;
    case 5: return kMsgComPort;
    case 6: return kMsgPowerOff;
    case 7: return kMsgNoCommunication;
    default: return nullptr;
    }
}

void applyToQueue(int reason) {
    if (reason >= 1 && reason <= 3) {
        queueTrackPower(false);
    } else if (reason == 4) {
        gCommandQueue.discard();
        queueTrackPower(false);
    } else {
        gCommandQueue.discard();
    }
}

void release() {
    queueTrackPower(true);
    if (gEmergencyState & 0x08) redrawSchema(1);
    gEmergencyState = 0;
}

void stopOnGuiThread(int reason) {
    stopAllTrains();
    netQueueRecord(30, 45, 45, 0, 0, gRunWithoutTrack ? 11 : reason);
    if (gRunWithoutTrack && gNetLinkState != 40) return;
    if (reason == 0) {
        release();
        return;
    }
    // The state first: the link thread drops a stop that it takes while no stop is in force.
    gEmergencyState = emergencyStateFor(reason);
    applyToQueue(reason);
    if (const char* text = messageFor(reason)) showDialogMessage(text, 1);
}

}  // namespace

uint8_t emergencyStateFor(int reason) {
    switch (reason) {
    case 1: return 1;
    case 2: return 2;
    case 3: return 4;
    case 4: return 8;
    case 5:
    case 6:
    case 7: return 0x11;
    default: return 0;
    }
}

void emergencyStopAll(int reason) {
    if (vestrel::onGuiThread()) {
        stopOnGuiThread(reason);
        return;
    }
    if (reason >= 1 && reason <= 7) gEmergencyState = emergencyStateFor(reason);
    vestrel::runOnGuiThread([reason] { stopOnGuiThread(reason); });
}
