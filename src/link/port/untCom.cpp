#include "link/port/untCom.h"

#include <QLabel>
#include <cstdio>
#include <ctime>

#include "link/buffers/link_buffers.h"
#include "link/port/link_port.h"
#include "link/port/command_station_events.h"
#include "link/port/command_station_pass.h"
#include "link/port/direct_mode_pass.h"
#include "operation/control/emergency_stop.h"
#include "platform/gui_thread.h"
#include "shell/config/messages.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"
#include "shell/window/untSchema.h"

std::unique_ptr<TCom> gComThread;
std::atomic<uint16_t> gLinkStatusBits{0};

namespace {

const char* const kLogFile = "com.log";

void onGui(const std::function<void()>& fn) { vestrel::runOnGuiThreadAndWait(fn); }

QLabel* schemaLabel(QLabel* TfrmSchema::*label) { return frmSchema ? frmSchema->*label : nullptr; }

std::string nowText() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%d-%m-%Y %H:%M:%S", &tm);
    return buf;
}

// The first log line of codes 2..4 re-initialises the track port once: formats forced again and DTR
// switched on. Returns whether DTR was on already, -1 when nothing was done.
int reinitialiseTrackPort(int code) {
    if (code < 2 || code > 4 || (gLinkStatusBits.fetch_or(1) & 1)) return -1;
    if (gPortB) forceTrackFormatAgain();
    vestrel::SerialPort* port = gTrackPort.load();
    const bool wasOn = port && port->dtr();
    if (port) port->setDtr(true);
    forceTrackFormatAgain();
    return wasOn ? 1 : 0;
}

}  // namespace

std::string byteToHex(uint8_t b) {
    const char* digits = "0123456789ABCDEF";
    return {digits[b >> 4], digits[b & 0x0F]};
}

void showFeedbackBytes(uint8_t first, uint8_t second) {
    if (QLabel* l = schemaLabel(&TfrmSchema::lblHexIn)) l->setText(QString::fromStdString(byteToHex(first) + byteToHex(second)));
}

void showReplyBytes(uint8_t first, uint8_t second) {
    std::string text = byteToHex(first);
    if (second != 0) text += byteToHex(second);
    if (QLabel* l = schemaLabel(&TfrmSchema::lblHexUit)) l->setText(QString::fromStdString(text));
}

void logLinkError(int code, int commandClass, int address, int data) {
    const int dtrWasOn = reinitialiseTrackPort(code);
    std::FILE* f = std::fopen(kLogFile, "a");
    if (!f) {
        vestrel::runOnGuiThread([] { showDialogMessage("Kan bestand 'com.log' niet openen !", 1); });
        return;
    }
    const FeedbackImage::Read image = gFeedbackImage.lastRead();
    const uint16_t bits = gLinkStatusBits.load();
    std::fprintf(f, "%s fout %d cmd %d adr %d data %d in1 %d in2 %d uit1 %d uit2 %d spoel1 %d spoel2 %d DCC:%X MM:%X\n",
                 nowText().c_str(), code, commandClass, address, data, image.byteCount,
                 gFeedbackImage.pending() ? 0 : image.byteCount, gCommandQueue.publishedWritePos(),
                 gCommandQueue.publishedReadPos(), gAccessoryQueue.writePos(), gAccessoryQueue.readPos(),
                 (bits >> 4) & 0xFF, (bits >> 12) & 0x0F);
    if (dtrWasOn >= 0) std::fprintf(f, "  Poort ge\xEFnitialiseerd DTR=%d\n", dtrWasOn);
    std::fclose(f);
}

TCom::TCom()
    : p50x_(gSettings.radbtnP50X != 0), cts_(gSettings.chboCTS != 0), direct_(gSettings.chboDirectBooster != 0) {
    start();
}

TCom::~TCom() {
    Terminate();
    WaitFor();
}

void TCom::Execute() {
    logLinkError(0, 0, 0, 0);
    CommandStationHooks hooks;
    hooks.emergencyStop = [](int reason) { emergencyStopAll(reason); };
    hooks.functionBits = [](uint16_t address) {
        int bits = -1;
        onGui([&] { bits = functionBitsForAddress(address); });
        return bits;
    };
    hooks.locoEvents = [](const std::vector<uint8_t>& r) { onGui([&] { applyLocoEvents(r); }); };
    hooks.accessoryEvents = [](const std::vector<uint8_t>& r) { onGui([&] { applyAccessoryEvents(r); }); };
    hooks.showFeedback = [](uint8_t a, uint8_t b) { onGui([=] { showFeedbackBytes(a, b); }); };
    hooks.clearFeedback = [] {
        onGui([] {
            if (QLabel* l = schemaLabel(&TfrmSchema::lblHexIn)) l->clear();
        });
    };
    hooks.showReply = [](uint8_t a, uint8_t b) { onGui([=] { showReplyBytes(a, b); }); };
    hooks.selectFormat = [] { selectTrackFormat(0, 0, 0); };
    hooks.logError = [](int code) { logLinkError(code, 0, 0, 0); };
    hooks.sleep = [this](int ms) { return sleepMs(ms); };
    CommandStationPass pass(p50x_, cts_, std::move(hooks));

    while (!Terminated() && gLinkOpen) {
        bool busy = false;
        // Nothing goes to the track while no session with track control runs or the booster is off.
        if (gRunWithTrack && !(gEmergencyState & 0x10)) {
            if (direct_) {
                busy = runDirectModePass(trackBytes_);
            } else if (vestrel::SerialPort* port = gTrackPort.load()) {
                busy = pass.run(*port);
            }
        }
        if (!busy) sleepMs(10);
        passes_.fetch_add(1);
    }
}
