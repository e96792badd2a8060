#include "link/port/filler_burst.h"

#include "link/protocol/dcc_encoder.h"
#include "link/protocol/motorola_encoder.h"
#include "link/port/link_clock.h"
#include "platform/serial_port.h"
#include "shell/model/settings.h"

namespace {
constexpr uint8_t kFormatDcc = 4;
}

int fillerRepeats(uint8_t format, int switchMs) {
    if (format == kFormatDcc) return switchMs < 48 ? 7 : switchMs / 8 + 1;
    if (format >= 1 && format <= 3) return switchMs / 5 < 10 ? 11 : switchMs / 5 + 1;
    return 0;
}

int sendFillerBurst(vestrel::SerialPort& port, uint8_t format, int switchMs) {
    const int n = fillerRepeats(format, switchMs);
    LinkClock& clock = linkClock();
    const int64_t f = clock.frequency();
    int64_t reference = clock.now();
    for (int i = 0; i < n; ++i) {
        if (format == kFormatDcc) {
            port.write(kDccIdlePacket, kDccIdleChars);
            waitUntilTicks(reference, f * kDccIdleChars / 1646);
        } else {
            port.write(kMotorolaFiller, kMotorolaPacketChars);
            waitUntilTicks(reference, f / (gSettings.chboMolaTussentijd ? 190 : 200));
        }
    }
    return n;
}
