#include "link/port/link_port.h"

#include <QLabel>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>

#include "link/buffers/feedback.h"
#include "link/buffers/link_buffers.h"
#include "link/port/parallel_feedback.h"
#include "link/protocol/track_format.h"
#include "link/port/untCom.h"
#include "link/port/untComb.h"
#include "link/port/untS88.h"
#include "shell/config/messages.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"
#include "shell/window/untSchema.h"
#include "shell/window/widget_colours.h"

using vestrel::SerialPort;
using vestrel::SerialTimeouts;

std::atomic<uint8_t> gLinkOpen{0};
std::atomic<SerialPort*> gTrackPort{nullptr};
std::unique_ptr<SerialPort> gPortA;
std::unique_ptr<SerialPort> gPortB;
std::unique_ptr<SerialPort> gFeedbackComPort;
uint8_t gFeedbackPort = 0;
uint8_t gPlatform = 0;
uint8_t gPortFormat[2] = {};
uint8_t gLastFormatRequest[3] = {};
std::atomic<uint8_t> gComRequest{0};
std::atomic<uint8_t> gFormatSwitchMs{0};
int16_t gPollPeriod = 300;
std::atomic<uint8_t> gS88PollRequest{0};

namespace {

constexpr vestrel::TColor kGreen = 0x00FF00;
constexpr vestrel::TColor kRed = 0x0000FF;
constexpr vestrel::TColor kWhite = 0xFFFFFF;
constexpr int kComRequestWaitMs = 1000;

// The saved time-outs of each port, given back on close.
SerialTimeouts gSavedTimeouts[3];  // port A, port B, feedback COM port

std::mutex gFormatMutex;  // selectTrackFormat runs on the GUI thread and on TCom

std::string comName(char digit) { return std::string("COM") + digit; }

QLabel* label(QLabel* TfrmSchema::*which) { return frmSchema ? frmSchema->*which : nullptr; }

void setLabel(QLabel* TfrmSchema::*which, const std::string& text) {
    if (QLabel* l = label(which)) l->setText(QString::fromStdString(text));
}
void showLabel(QLabel* TfrmSchema::*which, bool visible) {
    if (QLabel* l = label(which)) l->setVisible(visible);
}
void showNok() {
    QLabel* l = label(&TfrmSchema::lblHexIn);
    if (!l) return;
    l->setText("NOK");
    setTextColour(l, kRed);
    setBackColour(l, kWhite);
}

// Keeps a port's time-outs and sets new ones.
void takeTimeouts(SerialPort& port, SerialTimeouts& saved, const SerialTimeouts& t) {
    saved = port.timeouts();
    port.setTimeouts(t);
}

// Gives a port back as it was found: nothing waiting, its old time-outs, closed.
void releasePort(std::unique_ptr<SerialPort>& port, const SerialTimeouts& saved) {
    if (!port) return;
    port->purgeReceive();
    port->setTimeouts(saved);
    port.reset();
}

// The check of a newly opened track port, without sending it anything (a command station would take
// any bytes for commands): its settings are read and set again, and its output drains.
bool trackPortWorks(SerialPort& port) {
    vestrel::SerialFormat f;
    return port.readFormat(f) && port.setFormat(f) && port.drain();
}

void openFeedbackComPort(char setting) {
    const std::string name = comName(static_cast<char>(setting - 2));
    setLabel(&TfrmSchema::lblLPTCOM, name + " in:");
    gFeedbackComPort = vestrel::openSerialPort(name);
    if (!gFeedbackComPort) {
        showDialogMessage("Ingestelde COM-poort voor terugmeldingen niet beschikbaar !", 1);
        showNok();
        return;
    }
    gFeedbackPort = static_cast<uint8_t>(setting);
    const int baud = gSettings.cboS88Baudrate;
    takeTimeouts(*gFeedbackComPort, gSavedTimeouts[2], {1, 0, feedbackReadConstantMs(baud), 0, 100});
    gFeedbackComPort->setFormat({baud, 8, 'N', 1});
    gFeedbackComPort->setDtr(true);
    gFeedbackComPort->setRts(false);
    // The interface answers within a millisecond per byte: received bytes must not wait in the driver.
    gFeedbackComPort->setLowLatency();
    setLabel(&TfrmSchema::lblHexIn, "OK");
}

void openFeedbackPort() {
    const char s = gSettings.cboS88poort;
    if (s < '1' || s > ';') {
        setLabel(&TfrmSchema::lblLPTCOM, "Geen terugmeldingen");
        showLabel(&TfrmSchema::lblHexIn, false);
    } else if (s == '1' || s == '2') {
        openParallelPortFeedback();
        setLabel(&TfrmSchema::lblLPTCOM, std::string("LPT") + s + " in:");
        if (!gFeedbackPort) showNok();
    } else {
        openFeedbackComPort(s);
    }
    if (gFeedbackPort && !gS88Thread) gS88Thread = std::make_unique<T_S88>();
}

void openSecondPort(char trackDigit) {
    const char b = gSettings.cboCompoortb;
    if (b <= '0' || b > '9') return;
    gPortB = vestrel::openSerialPort(comName(b));
    if (!gPortB) {
        showDialogMessage("Tweede COM-poort niet beschikbaar !", 1);
        return;
    }
    setLabel(&TfrmSchema::lblCOM, std::string("COM") + trackDigit + b + " uit:");
    takeTimeouts(*gPortB, gSavedTimeouts[1], {0, 0, 100, 0, 100});
    gPortB->setFormat({2400, 8, 'N', 2});
    if (!gCombThread) gCombThread = std::make_unique<TComb>();
}

// Waits, 1 ms at a time, until TComb has sent its filler burst; the wait ends as well when the link
// closes, the track power goes off, no TComb runs, or after 1 s.
void waitForFillerBurst() {
    for (int ms = 0; gComRequest && ms < kComRequestWaitMs; ++ms) {
        if (!gLinkOpen || (gEmergencyState & 0x10) || !gCombRunning) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

}  // namespace

int detectPlatform() { return 2; }

int selectTrackFormat(int dcc, int accessory, int force) {
    std::unique_lock<std::mutex> lock(gFormatMutex);
    const uint8_t direct = gSettings.chboDirectBooster ? 1 : 0;
    const bool acc115200 = gSettings.chboMolaWisselSein115200 != 0;
    const bool loco7 = gSettings.chboMolaLoc7bit != 0;
    const uint8_t acc = (acc115200 || loco7) && accessory ? 1 : 0;
    const uint8_t d = dcc ? 1 : 0;
    if (!force && gLastFormatRequest[0] == direct && gLastFormatRequest[1] == d && gLastFormatRequest[2] == acc) return 0;
    const auto started = std::chrono::steady_clock::now();

    SerialPort* port = gPortA.get();
    const uint8_t wanted = direct ? wantedFormat(dcc, accessory, acc115200, loco7) : kFormatUnknown;
    int which = 0;
    bool change = true;
    if (gPortB) {
        if ((direct && !gLastFormatRequest[0]) || force) gPortFormat[0] = gPortFormat[1] = kFormatUnknown;
        const PortChoice c = choosePort(wanted, gPortFormat[0], gPortFormat[1]);
        which = c.port;
        change = c.reprogram;
        port = which == 0 ? gPortA.get() : gPortB.get();
        gTrackPort = port;
        if (change) {
            gPortFormat[which] = wanted;
            if (gEmergencyState == 0) gComRequest = 1;
        }
    } else {
        gComRequest = 0;
    }
    gLastFormatRequest[0] = direct;
    gLastFormatRequest[1] = d;
    gLastFormatRequest[2] = acc;
    if (!change) return 0;

    if (port) {
        port->setFormat(direct ? directFormat(wanted, gSettings.chboDCC19200 != 0)
                               : commandStationFormat(gSettings.cboBaudrate));
        // DTR powers the booster.
        port->setDtr(gEmergencyState == 0);
    }
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    gFormatSwitchMs = static_cast<uint8_t>(std::min<long long>(took.count(), 255));
    lock.unlock();
    waitForFillerBurst();
    return 1;
}

void forceTrackFormatAgain() {
    int dcc, accessory;
    {
        std::lock_guard<std::mutex> lock(gFormatMutex);
        dcc = gLastFormatRequest[1];
        accessory = gLastFormatRequest[2];
    }
    selectTrackFormat(dcc, accessory, 1);
}

void openCommandStationLink() {
    closeCommandStationLink();
    const char digit = (gSettings.cboCompoort >= '1' && gSettings.cboCompoort <= '9') ? gSettings.cboCompoort : '1';
    const std::string name = comName(digit);
    gPortA = vestrel::openSerialPort(name);
    if (!gPortA) {
        showDialogMessage("Ingestelde COM-poort niet beschikbaar !", 1);
        return;
    }
    gTrackPort = gPortA.get();
    gLinkOpen = 1;
    takeTimeouts(*gPortA, gSavedTimeouts[0], {0, 0, 100, 0, 100});
    if (!trackPortWorks(*gPortA)) {
        showDialogMessage("Ingestelde COM-poort niet in orde !", 1);
        closeCommandStationLink();
        return;
    }
    gPlatform = static_cast<uint8_t>(detectPlatform());
    selectTrackFormat(0, 0, 1);

    setLabel(&TfrmSchema::lblCOM, name + " uit:");
    for (auto which : {&TfrmSchema::lblHexUit, &TfrmSchema::lblLPTCOM, &TfrmSchema::lblHexIn}) showLabel(which, true);
    if (QLabel* l = label(&TfrmSchema::lblHexUit)) setBackColour(l, kGreen);

    const bool direct = gSettings.chboDirectBooster != 0;
    if (direct) {
        openFeedbackPort();
        openSecondPort(digit);
    } else {
        setLabel(&TfrmSchema::lblLPTCOM, name + " in:");
        setLabel(&TfrmSchema::lblHexIn, "");
    }
    decodeFeedbackImage();
    if (!direct) gPollPeriod = static_cast<int16_t>(pollPeriodMs(gSettings.cboBaudrate, gFeedbackByteCount));
    if (!gComThread) gComThread = std::make_unique<TCom>();
}

void closeCommandStationLink() {
    if (!gLinkOpen) return;
    gLinkOpen = 0;
    // The threads end first: no thread writes to a port, or reads a queue, once they are closed.
    for (LinkThread* t : {static_cast<LinkThread*>(gComThread.get()), static_cast<LinkThread*>(gCombThread.get()),
                          static_cast<LinkThread*>(gS88Thread.get())})
        if (t) t->Terminate();
    gComThread.reset();
    gCombThread.reset();
    gS88Thread.reset();

    gFeedbackByteCount = 0;
    gCommandQueue.reset();
    forgetHeldSpeeds();
    gAccessoryQueue.clear();
    gComRequest = 0;

    SerialPort* track = gTrackPort.exchange(nullptr);
    if (gPortB) {
        // The port TCom did not write to last goes first.
        if (track == gPortB.get()) releasePort(gPortA, gSavedTimeouts[0]);
        else releasePort(gPortB, gSavedTimeouts[1]);
    }
    releasePort(gPortA, gSavedTimeouts[0]);
    releasePort(gPortB, gSavedTimeouts[1]);
    if (gFeedbackPort == '1' || gFeedbackPort == '2') closeParallelPortFeedback();
    releasePort(gFeedbackComPort, gSavedTimeouts[2]);
    gFeedbackPort = 0;
    gPortFormat[0] = gPortFormat[1] = kFormatUnknown;
    for (uint8_t& r : gLastFormatRequest) r = 0xFF;

    setLabel(&TfrmSchema::lblCOM, "Geen COM");
    for (auto which : {&TfrmSchema::lblHexUit, &TfrmSchema::lblLPTCOM, &TfrmSchema::lblHexIn}) showLabel(which, false);
}
