#include "link/protocol/track_format.h"

vestrel::SerialFormat commandStationFormat(int baud) { return {baud, 8, 'N', 2}; }

vestrel::SerialFormat directFormat(uint8_t code, bool dcc19200) {
    switch (code) {
    case kFormatDcc: return {dcc19200 ? 19200 : 16457, 8, 'N', 1};
    case kFormatMotorola115200: return {115200, 8, 'E', 2};
    case kFormatMotorolaLoco7: return {38400, 7, 'N', 1};
    default: return {38400, 6, 'N', 1};
    }
}

uint8_t wantedFormat(bool dcc, bool accessory, bool accessory115200, bool loco7bit) {
    if (dcc) return kFormatDcc;
    if (accessory && accessory115200) return kFormatMotorola115200;
    if (!accessory && loco7bit) return kFormatMotorolaLoco7;
    return kFormatMotorola;
}

PortChoice choosePort(uint8_t wanted, uint8_t formatA, uint8_t formatB) {
    if (formatA == wanted) return {0, false};
    if (formatB == wanted) return {1, false};
    const bool takeA = formatA == kFormatUnknown || (formatA != kFormatDcc && formatB != kFormatUnknown);
    return {takeA ? 0 : 1, true};
}

int pollPeriodMs(int baud, int feedbackBytes) {
    if (baud <= 0) return 300;
    return baud <= 9600 ? 9600 / baud * feedbackBytes + 300 : 300;
}

int feedbackReadConstantMs(int baud) { return baud > 0 ? 1240000 / baud + 2 : 2; }
