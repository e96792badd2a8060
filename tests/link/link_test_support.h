#pragma once
// Helpers of the link tests: the settings of a link, and waiting on the GUI thread while the link
// thread works (its calls to the GUI thread are served meanwhile).
#include <QCoreApplication>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

#include "link/buffers/link_buffers.h"
#include "link/port/link_port.h"
#include "platform/gui_thread.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"
#include "test_support.h"

namespace linktest {

// Runs the GUI thread's work until cond() holds or ms milliseconds passed; the result of cond().
inline bool waitUntil(const std::function<bool()>& cond, int ms = testsupport::kStateWaitLimitMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!cond()) {
        if (std::chrono::steady_clock::now() > end) return false;
        vestrel::serveGuiThreadCalls();
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Settings of a command-station link on COM1, every other port none; no COM port names a device.
inline void commandStationSettings(bool p50x) {
    gSettings = Settings{};
    gSettings.cboCompoort = '1';
    gSettings.radbtnP50X = p50x ? 1 : 0;
    gSettings.cboBaudrate = 2400;
    for (int n = 1; n <= 9; ++n) {
        const std::string var = "VESTREL_COM" + std::to_string(n);
        ::setenv(var.c_str(), ("/nonexistent/tty" + std::to_string(n)).c_str(), 1);
    }
    gEmergencyState = 0;
    gRunWithTrack = 0;
}

// Closes the link and leaves the run state as at program start.
inline void closeLink() {
    closeCommandStationLink();
    vestrel::setSerialOpener({});
    gRunWithTrack = 0;
    gEmergencyState = 0;
    QCoreApplication::processEvents();  // what the link thread handed over
}

}  // namespace linktest
