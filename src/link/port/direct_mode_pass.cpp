#include "link/port/direct_mode_pass.h"

#include "link/port/direct_link.h"
#include "link/port/direct_sender.h"
#include "link/port/link_port.h"
#include "link/port/untCom.h"
#include "platform/serial_port.h"

namespace {

// The sender's surroundings on TCom: the link's track port (whichever port holds the wanted format),
// its format selection, com.log and the status bits.
class TrackPortLink final : public DirectLink {
public:
    explicit TrackPortLink(std::atomic<uint64_t>& written) : written_(written) {}
    int write(const uint8_t* bytes, int n) override {
        vestrel::SerialPort* port = gTrackPort.load();
        const int done = port ? port->write(bytes, n) : 0;
        if (done > 0) written_.fetch_add(static_cast<uint64_t>(done));
        return done;
    }
    void selectFormat(bool dcc, bool accessory, bool force) override {
        selectTrackFormat(dcc ? 1 : 0, accessory ? 1 : 0, force ? 1 : 0);
    }
    void setBoosterPower(bool on) override {
        if (vestrel::SerialPort* port = gTrackPort.load()) port->setDtr(on);
    }
    int shortCircuitLine() override {
        vestrel::SerialPort* port = gTrackPort.load();
        if (!port) return -1;
        switch (port->dsr()) {
        case vestrel::LineState::Set: return 1;
        case vestrel::LineState::Clear: return 0;
        default: return -1;
        }
    }
    bool alive() override {
        vestrel::SerialPort* port = gTrackPort.load();
        return port && port->alive();
    }
    bool hasSecondPort() override { return gPortB != nullptr; }
    int formatSwitchMs() override { return gFormatSwitchMs.load(); }
    void logError(int code, int commandClass, int address, int data) override {
        logLinkError(code, commandClass, address, data);
    }
    std::atomic<uint16_t>& statusBits() override { return gLinkStatusBits; }
    int queuedOut() override {
        vestrel::SerialPort* port = gTrackPort.load();
        return port ? port->bytesQueuedOut() : -1;
    }

private:
    std::atomic<uint64_t>& written_;
};

}  // namespace

bool runDirectModePass(std::atomic<uint64_t>& bytesWritten) {
    // One sender per run of the link thread: its refresh position, phase and timing start afresh.
    thread_local TrackPortLink link(bytesWritten);
    thread_local DirectSender sender(link);
    sender.pass();
    return true;
}
