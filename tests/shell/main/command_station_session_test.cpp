// The command-station link on the real main window, with a P50X command station on a pseudo-terminal
// as COM1: the session's stop and go commands, the feedback polls of the main cycle, a contact that
// reaches its block, and the stop of the session that gives the port back.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QTimer>

#include "layout/layout_builder.h"
#include "layout/model/layout_model.h"
#include "link/buffers/link_buffers.h"
#include "link/link_test_support.h"
#include "link/port/fake_command_station.h"
#include "link/port/link_port.h"
#include "operation/engine/feedback_cycle.h"
#include "operation/session_trains.h"
#include "platform/clock.h"
#include "platform/serial_port.h"
#include "shell/dialogs/untBoodschap.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"
#include "shell/shell_test_support.h"
#include "shell/window/untSchema.h"

using linktest::waitUntil;
using Bytes = std::vector<uint8_t>;

namespace {

class CommandStationSession : public ::testing::Test {
protected:
    void SetUp() override {
        linktest::commandStationSettings(true);
        station.pty().setAsComPort(1);
        program.start();
        frmSchema->Timer1->stop();
        LayoutBuilder().block(1, {{100, 100}, {200, 100}, {300, 100}}).inputs({1, 2});
        gLocoFileName = "test.loc";
        writeSessionLocoFile("test.loc", {});
        gDirtyFlags = 0;
        gLocoDataModified = 0;
    }
    void TearDown() override { linktest::closeLink(); }

    // F10: "Starten met spoorbaansturing" / "Stoppen sessie".
    static void f10() { frmSchema->mnuMetSturing->trigger(); }
    bool received(const Bytes& message) {
        return waitUntil([&] {
            for (const Bytes& m : station.messages())
                if (m == message) return true;
            return false;
        });
    }
    // One tick of the main cycle after ms, and what the link thread does with it.
    void tick(uint32_t ms) {
        clock.advance(ms);
        frmSchema->Timer1Timer();
        waitUntil([] { return gCommandQueue.empty(); });
    }
    // Starts the session and releases the stop that a start with track control puts in force.
    void startAndRelease() {
        f10();
        ASSERT_EQ(gRunWithTrack, 1);
        ASSERT_TRUE(received({0xA6})) << "the start's stop goes out as XPwrOff";
        ASSERT_TRUE(frmBoodschap->isVisible());
        clickButton(frmBoodschap, "btnOK");
        ASSERT_TRUE(received({0xA7})) << "OK on the message goes out as XPwrOn";
        ASSERT_TRUE(waitUntil([] { return gEmergencyState == 0; }));
    }

    vestrel::test::FakeCommandStation station{true};
    RunningProgram program;
    vestrel::ManualClock clock{5000};
};

}  // namespace

TEST_F(CommandStationSession, StopAndGoPollsAndAContactOnTheMainWindow) {
    station.setModule(1, 0x80, 0x00);  // contact 1 occupied
    startAndRelease();
    EXPECT_EQ(frmSchema->lblCOM->text(), "COM1 uit:");
    EXPECT_EQ(gPollPeriod, 9600 / 2400 * 2 + 300);

    // Polls at the period, to the tick.
    std::vector<uint32_t> pollTimes;
    for (int i = 0; i < 40; ++i) {
        const uint32_t due = gFeedbackPollDue;
        tick(30);
        if (gFeedbackPollDue != due) pollTimes.push_back(clock.now());
    }
    ASSERT_GE(pollTimes.size(), 3u);
    EXPECT_TRUE(waitUntil([&] { return station.count(0xCB) == static_cast<int>(pollTimes.size()); }))
        << "each poll reaches the command station";
    for (size_t i = 1; i < pollTimes.size(); ++i) {
        EXPECT_GE(pollTimes[i] - pollTimes[i - 1], static_cast<uint32_t>(gPollPeriod));
        EXPECT_LT(pollTimes[i] - pollTimes[i - 1], static_cast<uint32_t>(gPollPeriod + 30));
    }
    EXPECT_EQ(frmSchema->lblHexIn->text(), "8000");
    EXPECT_EQ(blockNumbered(1)->occupiedSections & 1, 1) << "contact 1 occupies section 1";
    EXPECT_EQ(blockNumbered(1)->occupiedSections & 2, 0);

    f10();  // stop
    EXPECT_FALSE(sessionRunning());
    EXPECT_EQ(gLinkOpen, 0);
    EXPECT_EQ(frmSchema->lblCOM->text(), "Geen COM");
    EXPECT_TRUE(frmSchema->lblHexUit->isHidden());
    EXPECT_TRUE(vestrel::serialPortFree("COM1"));
}

TEST_F(CommandStationSession, StoppingWhileTheLinkWaitsForASilentStationLeavesTheQueueUnsent) {
    startAndRelease();
    // The link thread's last call to this thread, the reply of XPwrOn shown; it is idle from then on.
    ASSERT_TRUE(waitUntil([] { return frmSchema->lblHexUit->text() == "A7"; }));
    station.setSilent(true);
    const int switchesBefore = station.count(0x90);
    const size_t messagesBefore = station.messages().size();
    // Each switch waits out the read's time-out for a reply that never comes, then shows the reply on
    // the main window, which waits for this thread: until the stop, the link cannot get past the first
    // switch, however slow the machine. A stop that let it work through the queue would take a time-out
    // per switch and send them all.
    int queued = 0;
    while (queueCommandWithValue(kCmdAccessoryGreen, static_cast<uint16_t>(100 + queued))) ++queued;
    ASSERT_GT(queued, 2);
    ASSERT_TRUE(station.waitForMessages(messagesBefore + 1));
    f10();
    EXPECT_EQ(gLinkOpen, 0);
    EXPECT_FALSE(sessionRunning());
    const int sent = [&] {
        int n = 0;
        for (const Bytes& m : station.messagesSoFar()) n += m[0] == 0x90;
        return n;
    }() - switchesBefore;
    EXPECT_GE(sent, 1);
    EXPECT_LT(sent, queued) << "the rest of the queue stays unsent";
}
