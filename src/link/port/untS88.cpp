#include "link/port/untS88.h"

#include <QLabel>
#include <string>

#include "link/buffers/link_buffers.h"
#include "link/port/link_port.h"
#include "link/port/s88_reader.h"
#include "operation/control/emergency_stop.h"
#include "platform/gui_thread.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"
#include "shell/window/untSchema.h"
#include "shell/window/widget_colours.h"

std::unique_ptr<T_S88> gS88Thread;
std::atomic<uint8_t> gS88Status{0};
std::atomic<uint8_t> gS88ConverterMs{0};
uint8_t gS88ShownStatus = 10;
uint8_t gS88ShownMs = 0;

namespace {

constexpr vestrel::TColor kGreen = 0x00FF00;
constexpr vestrel::TColor kRed = 0x0000FF;
constexpr vestrel::TColor kLightOrange = 0x80B0FF;
constexpr vestrel::TColor kBlack = 0x000000;
constexpr vestrel::TColor kWhite = 0xFFFFFF;

bool parallelFeedback() { return gFeedbackPort == '1' || gFeedbackPort == '2'; }

void showOnGui() { vestrel::runOnGuiThreadAndWait(showS88Status); }

}  // namespace

S88Display s88Display(uint8_t status, int ms, bool parallel) {
    const std::string time = "OK (" + std::to_string(ms) + "ms)";
    switch (status) {
    case kS88Ok: return {parallel ? "OK" : time, kGreen, kBlack};
    case kS88PortError: return {"NOK", kRed, kWhite};
    case kS88NoModules: return {parallel ? "OK - geen S88" : time + " - geen S88", kLightOrange, kBlack};
    case kS88NoInterface: return {time + " - geen convertor", kLightOrange, kBlack};
    default: return {time + " - datafout", kLightOrange, kBlack};
    }
}

void showS88Status() {
    const uint8_t status = gS88Status, ms = gS88ConverterMs;
    if (status == gS88ShownStatus && (gS88ShownMs == ms || gS88ShownMs == ms + 1)) return;
    gS88ShownStatus = status;
    gS88ShownMs = ms;
    QLabel* l = frmSchema ? frmSchema->lblHexIn : nullptr;
    if (!l) return;
    const S88Display d = s88Display(status, ms, parallelFeedback());
    l->setText(QString::fromStdString(d.text));
    setTextColour(l, d.font);
    setBackColour(l, d.back);
}

T_S88::T_S88() { start(); }

T_S88::~T_S88() {
    Terminate();
    WaitFor();
}

void T_S88::Execute() {
    gS88Status = kS88Ok;
    gS88ConverterMs = 0;
    vestrel::runOnGuiThreadAndWait([] { gS88ShownStatus = 10; });
    if (gFeedbackPort != static_cast<uint8_t>(gSettings.cboS88poort)) gS88Status = kS88PortError;
    showOnGui();
    S88Reader reader({[](int reason) { emergencyStopAll(reason); }, [this](int ms) { return sleepMs(ms); }});
    vestrel::SerialPort* com = gFeedbackComPort.get();
    while (!Terminated() && gLinkOpen) {
        if (gRunWithTrack && !(gEmergencyState & 0x10) && gFeedbackPort && gS88PollRequest.exchange(0)) {
            reader.status = gS88Status;
            if (parallelFeedback()) reader.readParallel(gFeedbackByteCount);
            else if (com) reader.readCom(*com, gFeedbackByteCount);
            gS88Status = reader.status;
            gS88ConverterMs = reader.converterMs;
            showOnGui();
        }
        sleepMs(10);
    }
}
