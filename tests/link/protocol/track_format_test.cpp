// The track port's formats, the two-port choice, the poll period and the S88 interface's read constant.
#include <gtest/gtest.h>

#include "link/protocol/track_format.h"

using vestrel::SerialFormat;

TEST(TrackFormat, FormatsOfEachTransmission) {
    EXPECT_EQ(commandStationFormat(2400), (SerialFormat{2400, 8, 'N', 2}));
    EXPECT_EQ(commandStationFormat(19200), (SerialFormat{19200, 8, 'N', 2}));
    EXPECT_EQ(directFormat(kFormatDcc, false), (SerialFormat{16457, 8, 'N', 1}));
    EXPECT_EQ(directFormat(kFormatDcc, true), (SerialFormat{19200, 8, 'N', 1}));
    EXPECT_EQ(directFormat(kFormatMotorola115200, false), (SerialFormat{115200, 8, 'E', 2}));
    EXPECT_EQ(directFormat(kFormatMotorolaLoco7, false), (SerialFormat{38400, 7, 'N', 1}));
    EXPECT_EQ(directFormat(kFormatMotorola, false), (SerialFormat{38400, 6, 'N', 1}));
}

TEST(TrackFormat, TheWantedFormat) {
    struct Row {
        bool dcc, accessory, acc115200, loco7;
        uint8_t code;
    };
    const Row rows[] = {
        {true, true, true, true, kFormatDcc},         {false, true, true, false, kFormatMotorola115200},
        {false, true, false, true, kFormatMotorola},  {false, false, true, true, kFormatMotorolaLoco7},
        {false, false, true, false, kFormatMotorola}, {false, true, false, false, kFormatMotorola},
    };
    for (const Row& r : rows) EXPECT_EQ(wantedFormat(r.dcc, r.accessory, r.acc115200, r.loco7), r.code);
}

TEST(TrackFormat, TwoPortsAlternatingDccAndMotorolaOnlySwitchPorts) {
    uint8_t formats[2] = {kFormatUnknown, kFormatUnknown};
    auto request = [&](uint8_t wanted) {
        const PortChoice c = choosePort(wanted, formats[0], formats[1]);
        if (c.reprogram) formats[c.port] = wanted;
        return c;
    };
    EXPECT_EQ(request(kFormatDcc).port, 0);  // an unknown port A is taken first
    const PortChoice mm = request(kFormatMotorola);
    EXPECT_EQ(mm.port, 1);
    EXPECT_TRUE(mm.reprogram);
    for (int i = 0; i < 4; ++i) {
        const PortChoice dcc = request(kFormatDcc), motorola = request(kFormatMotorola);
        EXPECT_FALSE(dcc.reprogram);
        EXPECT_FALSE(motorola.reprogram);
        EXPECT_EQ(dcc.port, 0);
        EXPECT_EQ(motorola.port, 1);
    }
    // A third kind goes to the port that does not hold DCC.
    EXPECT_EQ(request(kFormatMotorola115200).port, 1);
    // Port A not DCC and port B known: A is reprogrammed.
    EXPECT_EQ(choosePort(kFormatDcc, kFormatMotorola, kFormatMotorolaLoco7).port, 0);
}

TEST(TrackFormat, PollPeriodAndReadConstant) {
    EXPECT_EQ(pollPeriodMs(2400, 8), 332);
    EXPECT_EQ(pollPeriodMs(4800, 8), 316);
    EXPECT_EQ(pollPeriodMs(9600, 70), 370);
    EXPECT_EQ(pollPeriodMs(19200, 8), 300);
    EXPECT_EQ(feedbackReadConstantMs(115200), 12);
    EXPECT_EQ(feedbackReadConstantMs(57600), 23);
    EXPECT_EQ(feedbackReadConstantMs(38400), 34);
}
