// The second port's filler burst: how many packets cover a format change, and their pace.
#include <gtest/gtest.h>

#include "platform/scripted_serial_port.h"
#include "fake_direct_link.h"
#include "link/protocol/dcc_encoder.h"
#include "link/protocol/motorola_encoder.h"
#include "link/port/filler_burst.h"
#include "shell/model/settings.h"

namespace {

TEST(FillerBurst, RepeatsCoverTheFormatChange) {
    const struct {
        uint8_t format;
        int ms, repeats;
    } cases[] = {
        {4, 100, 13}, {4, 0, 7}, {4, 47, 7}, {4, 48, 7}, {4, 56, 8}, {4, 255, 32},
        {1, 100, 21}, {2, 0, 11}, {3, 49, 11}, {1, 50, 11}, {1, 55, 12},
        {0, 100, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(fillerRepeats(c.format, c.ms), c.repeats) << int(c.format) << " " << c.ms;
}

TEST(FillerBurst, PacketsAndTheirPace) {
    SteppedClock clock;
    gSettings.chboMolaTussentijd = 0;
    vestrel::test::ScriptedSerialPort port;
    const int64_t start = clock.t;
    EXPECT_EQ(sendFillerBurst(port, 4, 100), 13);
    const std::vector<uint8_t> dcc = port.written();
    ASSERT_EQ(dcc.size(), 13u * kDccIdleChars);
    for (int i = 0; i < 13; ++i)
        EXPECT_EQ(std::vector<uint8_t>(dcc.begin() + i * 13, dcc.begin() + i * 13 + 13),
                  std::vector<uint8_t>(kDccIdlePacket, kDccIdlePacket + 13));
    EXPECT_NEAR(static_cast<double>(clock.t - start), 13.0 * 13 * 1000000 / 1646, 20.0);

    vestrel::test::ScriptedSerialPort mm;
    const int64_t mmStart = clock.t;
    EXPECT_EQ(sendFillerBurst(mm, 1, 100), 21);
    const std::vector<uint8_t> motorola = mm.written();
    ASSERT_EQ(motorola.size(), 21u * kMotorolaPacketChars);
    EXPECT_EQ(std::vector<uint8_t>(motorola.begin(), motorola.begin() + 18),
              std::vector<uint8_t>(kMotorolaFiller, kMotorolaFiller + 18));
    EXPECT_NEAR(static_cast<double>(clock.t - mmStart), 21 * 5000.0, 30.0);
}

}  // namespace
