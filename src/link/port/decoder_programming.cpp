#include "link/port/decoder_programming.h"

#include <mutex>

#include "link/dialogs/untProg.h"
#include "link/protocol/track_packets.h"
#include "operation/control/emergency_stop.h"
#include "operation/control/loco_operation.h"
#include "operation/model/train_model.h"
#include "shell/model/app_state.h"

std::atomic<int16_t> gMmProgState{0};
uint16_t gMmSavedAddress = 0;
uint8_t gMmSavedDecoderType = 0;
int gMmRegister = 0;
int gMmRegisterValue = 0;

namespace {

constexpr int kEnterHoldCycles = 30;
constexpr int kWriteHoldCycles = 10;
constexpr uint8_t kOldMotorola = 0;

// The locomotive whose number and decoder type the sequence changed (none when they are its own).
LocoRec* gChangedLoco = nullptr;
// What the sender may refresh while the sequence runs; read on the link thread.
std::atomic<LocoRec*> gSenderLoco{nullptr};

// Number and decoder type change under the packet lock: the link thread looks locomotives up by number
// and encodes them by type.
void setNumberAndType(LocoRec* l, int number, uint8_t type) {
    std::lock_guard lock(trackPacketMutex());
    l->number = static_cast<int16_t>(number);
    l->decoderType = type;
}

void saveAndSetOldMotorola(LocoRec* l) {
    gMmSavedAddress = static_cast<uint16_t>(l->number);
    gMmSavedDecoderType = l->decoderType;
    gChangedLoco = l;
    setNumberAndType(l, l->number, kOldMotorola);
}

// The locomotive gets its own number and type back, with its packets.
void restoreChangedLoco() {
    LocoRec* l = gChangedLoco;
    gChangedLoco = nullptr;
    if (!l || l != gProgLoco) return;  // a freed record has been cleared from gProgLoco
    setNumberAndType(l, static_cast<int16_t>(gMmSavedAddress), gMmSavedDecoderType);
    buildLocoTrackPackets(l);
}

void finish() {
    gMmProgState = 0;
    gSenderLoco = nullptr;
    enableProgDialog(true);
}

bool canProgram(const LocoRec* l) {
    if (!l || gLocsOnTrack.indexOf(l) < 0 || !l->packetCache) return false;
    return l->decoderType <= 2 || gProgFunctionDecoder;
}

// The locomotive runs in "Rangeer" (its mode cycled until it is), without Force, its speed shown.
void keepShunting(LocoRec* l) {
    for (int i = 0; i < 4 && l->mode != kModeShunting; ++i)
        if (!cycleLocoMode(l)) break;
    l->flags &= static_cast<uint8_t>(~kLocoForce);
    showLocoSpeed(l, 0);
}

void enterStep(LocoRec* l) {
    enableProgDialog(false);
    saveAndSetOldMotorola(l);
    if (gProgFunctionDecoder) setNumberAndType(l, gProgFunctionDecoder->address, kOldMotorola);
    buildLocoTrackPackets(l);
    emergencyStopAll(2);
}

// One action of the state table; false when the state is not to count up.
bool act(LocoRec* l, int state) {
    switch (state) {
    case 1: enterStep(l); break;
    case 101:
        emergencyStopAll(0);
        queueLocoReverse(l, kEnterHoldCycles);
        break;
    case 102:
    case 202:
    case 302: return l->holdCountdown == 0;
    case 150:
    case 400:
        restoreChangedLoco();
        finish();
        return false;
    case 201:
        enableProgDialog(false);
        saveAndSetOldMotorola(l);
        setNumberAndType(l, gMmRegister, kOldMotorola);
        queueLocoReverse(l, kWriteHoldCycles);
        break;
    case 301:
        setNumberAndType(l, gMmRegisterValue, kOldMotorola);
        queueLocoReverse(l, kWriteHoldCycles);
        break;
    case 401:
        enableProgDialog(false);
        emergencyStopAll(2);
        break;
    case 500:
        emergencyStopAll(0);
        finish();
        return false;
    default: break;
    }
    return true;
}

}  // namespace

void runMmProgrammingStep() {
    if (gMmProgState == 0) return;
    LocoRec* l = gProgLoco;
    if (!canProgram(l)) {
        endMmProgramming(true);
        return;
    }
    gSenderLoco = l;
    keepShunting(l);
    const int state = gMmProgState;
    if (act(l, state) && gMmProgState == state) gMmProgState = static_cast<int16_t>(state + 1);
}

void endMmProgramming(bool releaseStop) {
    if (gMmProgState == 0 && !gChangedLoco) return;
    restoreChangedLoco();
    finish();
    // Only the sequence stops the track silently; nothing else would ever switch it on again.
    if (releaseStop && gEmergencyState == 2 && sessionRunning()) emergencyStopAll(0);
}

void forgetProgrammingRecord(const LocoRec* loco, const FunctionDecoderRec* decoder) {
    const bool ours = (loco && loco == gProgLoco) || (decoder && decoder == gProgFunctionDecoder);
    if (!ours) return;
    endMmProgramming(true);
    if (loco && loco == gProgLoco) gProgLoco = nullptr;
    if (decoder && decoder == gProgFunctionDecoder) gProgFunctionDecoder = nullptr;
}

LocoRec* mmProgrammedLoco() { return gSenderLoco.load(); }
