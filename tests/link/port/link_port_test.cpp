// Opening and closing the link: each failure with its words and the state it leaves, the ports and
// threads of a working link, the format choice, and closing while the link thread is busy.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "link/link_test_support.h"
#include "link/port/parallel_feedback.h"
#include "link/port/fake_command_station.h"
#include "link/port/fake_s88_converter.h"
#include "link/port/s88_reader.h"
#include "link/port/untCom.h"
#include "link/port/untComb.h"
#include "link/port/untS88.h"
#include "platform/parallel_port.h"
#include "platform/scripted_serial_port.h"
#include "shell/config/messages.h"
#include "test_support.h"

using namespace vestrel;
using namespace linktest;
using vestrel::test::FakeCommandStation;
using vestrel::test::FakeConverter;
using vestrel::test::PtyPair;
using vestrel::test::ScriptedSerialPort;

namespace {

class LinkPort : public testing::Test {
protected:
    void SetUp() override { commandStationSettings(false); }
    void TearDown() override { closeLink(); }
    testsupport::ScratchDir dir;  // com.log goes here
};

// Opens scripted ports for COM1 and COM2 and keeps a look at them.
struct ScriptedPorts {
    ScriptedSerialPort* com[3] = {};
    ScriptedPorts() {
        setSerialOpener([this](const std::string& name) -> std::unique_ptr<SerialPort> {
            const int n = name[3] - '0';
            if (n < 1 || n > 2) return nullptr;
            auto p = std::make_unique<ScriptedSerialPort>(name);
            com[n] = p.get();
            return p;
        });
    }
};

}  // namespace

TEST_F(LinkPort, FailuresToOpenTheTrackPort) {
    openCommandStationLink();
    EXPECT_EQ(lastDialogMessage(), "Ingestelde COM-poort niet beschikbaar !");
    EXPECT_FALSE(gLinkOpen);
    EXPECT_FALSE(gComThread);

    // Opens, but is no serial port: the check finds it without sending a byte.
    ::setenv("VESTREL_COM1", "/dev/null", 1);
    openCommandStationLink();
    EXPECT_EQ(lastDialogMessage(), "Ingestelde COM-poort niet in orde !");
    EXPECT_FALSE(gLinkOpen);
    EXPECT_FALSE(gPortA);
    EXPECT_FALSE(gComThread);
}

TEST_F(LinkPort, ACommandStationLinkOpensSendsAndCloses) {
    gSettings.radbtnP50X = 1;
    FakeCommandStation station(true);
    station.pty().setAsComPort(1);
    showDialogMessage("", 3);
    openCommandStationLink();
    ASSERT_TRUE(gLinkOpen);
    EXPECT_EQ(lastDialogMessage(), "");
    ASSERT_TRUE(gComThread);
    EXPECT_FALSE(gCombThread);
    EXPECT_FALSE(gS88Thread);
    EXPECT_EQ(gPollPeriod, 9600 / 2400 * gFeedbackByteCount + 300);
    SerialFormat f;
    ASSERT_TRUE(gPortA->readFormat(f));
    EXPECT_EQ(f.baud, 2400);
    EXPECT_EQ(f.stopBits, 2);
    EXPECT_EQ(gPortA->timeouts(), (SerialTimeouts{0, 0, 100, 0, 100}));
    EXPECT_FALSE(serialPortFree("COM1"));

    // The thread sends nothing while no session with track control runs: once it has gone round its
    // loop twice with a command queued, a marker from the program's side finds nothing in front of it.
    queueTrackPower(true);
    const uint64_t passes = gComThread->passes();
    ASSERT_TRUE(waitUntil([&] { return gComThread->passes() >= passes + 2; }));
    EXPECT_TRUE(station.messagesSoFar().empty()) << "opening sends nothing either";
    gRunWithTrack = 1;
    EXPECT_TRUE(waitUntil([&] { return station.messages().size() == 1; }));
    EXPECT_EQ(station.messages()[0], std::vector<uint8_t>{0xA7});

    closeCommandStationLink();
    EXPECT_FALSE(gLinkOpen);
    EXPECT_FALSE(gComThread);
    EXPECT_FALSE(gPortA);
    EXPECT_EQ(gFeedbackByteCount, 0);
    EXPECT_TRUE(serialPortFree("COM1"));

    // The thread's first line in com.log.
    std::ifstream log("com.log");
    std::string line;
    ASSERT_TRUE(std::getline(log, line));
    EXPECT_TRUE(std::regex_match(line, std::regex(R"(\d\d-\d\d-\d{4} \d\d:\d\d:\d\d fout 0 cmd 0 adr 0 data 0 in1 -?\d+ in2 -?\d+ )"
                                                  R"(uit1 \d+ uit2 \d+ spoel1 \d+ spoel2 \d+ DCC:[0-9A-F]+ MM:[0-9A-F]+)")))
        << line;
}

TEST_F(LinkPort, OpeningTwiceClosesTheFirstLink) {
    PtyPair pty;
    pty.setAsComPort(1);
    openCommandStationLink();
    ASSERT_TRUE(gLinkOpen);
    const TCom* first = gComThread.get();
    openCommandStationLink();  // the port is exclusive: this works only when the first link let go
    EXPECT_TRUE(gLinkOpen);
    EXPECT_EQ(lastDialogMessage(), "");
    EXPECT_TRUE(gComThread);
    (void)first;
}

TEST_F(LinkPort, FeedbackAndSecondPortsOfDirectMode) {
    gSettings.chboDirectBooster = 1;
    gSettings.cboS88poort = '4';  // COM2
    gSettings.cboS88Baudrate = 115200;
    gSettings.cboCompoortb = '3';
    PtyPair track, feedback;
    track.setAsComPort(1);
    feedback.setAsComPort(2);
    openCommandStationLink();
    ASSERT_TRUE(gLinkOpen);
    ASSERT_TRUE(gFeedbackComPort);
    EXPECT_EQ(gFeedbackPort, '4');
    EXPECT_EQ(gFeedbackComPort->timeouts(), (SerialTimeouts{1, 0, 12, 0, 100}));
    EXPECT_TRUE(gS88Thread);
    EXPECT_EQ(lastDialogMessage(), "Tweede COM-poort niet beschikbaar !");
    EXPECT_FALSE(gPortB);
    EXPECT_FALSE(gCombThread);
    closeCommandStationLink();
    EXPECT_FALSE(gFeedbackComPort);
    EXPECT_EQ(gFeedbackPort, 0);
    EXPECT_TRUE(serialPortFree("COM2"));

    feedback.unsetComPort();
    ::setenv("VESTREL_COM2", "/nonexistent/feedback", 1);
    gSettings.cboCompoortb = '0';
    openCommandStationLink();
    EXPECT_TRUE(gLinkOpen) << "the link works without its feedback";
    EXPECT_EQ(lastDialogMessage(), "Ingestelde COM-poort voor terugmeldingen niet beschikbaar !");
    EXPECT_EQ(gFeedbackPort, 0);
    EXPECT_FALSE(gS88Thread);
}

namespace {

class EchoPort : public ParallelPort {
public:
    explicit EchoPort(bool echoes) : echoes_(echoes) {}
    uint8_t readData() override { return echoes_ ? data_ : 0xFF; }
    void writeData(uint8_t v) override { data_ = v; }
    uint8_t readStatus() override { return 0x78; }
    uint8_t readControl() override { return control_; }
    void writeControl(uint8_t v) override { control_ = v; }

private:
    bool echoes_;
    uint8_t data_ = 0, control_ = 0;
};

}  // namespace

TEST_F(LinkPort, TheParallelPortOfS88) {
    PtyPair track;
    track.setAsComPort(1);
    gSettings.chboDirectBooster = 1;
    gSettings.cboS88poort = '2';
    gSettings.edtLPTAdres = 0x278;
    struct Row {
        bool opens, echoes;
        const char* message;
        uint8_t port;
    };
    const Row rows[] = {{false, false, "Kan parallelle poort niet openen", 0},
                        {true, false, "Parallelle poort is niet beschikbaar", 0},
                        {true, true, "", '2'}};
    for (const Row& r : rows) {
        std::string asked;
        setParallelOpener([&](const std::string& name) -> std::unique_ptr<ParallelPort> {
            asked = name;
            return r.opens ? std::make_unique<EchoPort>(r.echoes) : nullptr;
        });
        showDialogMessage("", 3);
        openCommandStationLink();
        EXPECT_EQ(asked, "LPT2");
        EXPECT_TRUE(gLinkOpen);
        EXPECT_EQ(lastDialogMessage(), r.message);
        EXPECT_EQ(gFeedbackPort, r.port);
        EXPECT_EQ(static_cast<bool>(gS88Thread), r.port != 0);
    }
    // The three registers at the port's address.
    EXPECT_EQ(portReadByte(0x279), 0x78);
    portWriteByte(0x27A, 0x21);
    EXPECT_EQ(portReadByte(0x27A), 0x21);
    EXPECT_EQ(portReadByte(0x378), 0) << "another address";
    closeCommandStationLink();
    EXPECT_EQ(portReadByte(0x279), 0) << "released on close";
    setParallelOpener({});
}

TEST_F(LinkPort, AFormatRequestThatRepeatsChangesNothing) {
    ScriptedPorts ports;
    openCommandStationLink();
    ASSERT_TRUE(gLinkOpen);
    ScriptedSerialPort* port = ports.com[1];
    const int sets = port->formatSets();
    EXPECT_EQ(selectTrackFormat(0, 0, 0), 0);
    EXPECT_EQ(port->formatSets(), sets);
    EXPECT_EQ(selectTrackFormat(0, 0, 1), 1);
    EXPECT_EQ(port->formatSets(), sets + 1);
    EXPECT_EQ(port->lastFormat(), (SerialFormat{2400, 8, 'N', 2}));
    EXPECT_TRUE(port->dtr()) << "DTR on while no stop is in force";
    gEmergencyState = 1;
    selectTrackFormat(0, 0, 1);
    EXPECT_FALSE(port->dtr());
}

TEST_F(LinkPort, TwoPortsAlternateWithoutBeingSetAgain) {
    ScriptedPorts ports;
    gSettings.chboDirectBooster = 1;
    gSettings.cboCompoortb = '2';
    openCommandStationLink();
    ASSERT_TRUE(gLinkOpen);
    ASSERT_TRUE(gPortB);
    EXPECT_TRUE(gCombThread);
    selectTrackFormat(1, 0, 0);
    selectTrackFormat(0, 0, 0);
    const int setsA = ports.com[1]->formatSets(), setsB = ports.com[2]->formatSets();
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(selectTrackFormat(1, 0, 0), 0);
        EXPECT_EQ(gTrackPort.load(), ports.com[1]);
        EXPECT_EQ(selectTrackFormat(0, 0, 0), 0);
        EXPECT_EQ(gTrackPort.load(), ports.com[2]);
    }
    EXPECT_EQ(ports.com[1]->formatSets(), setsA);
    EXPECT_EQ(ports.com[2]->formatSets(), setsB);
    EXPECT_EQ(ports.com[1]->lastFormat(), (SerialFormat{16457, 8, 'N', 1}));
    EXPECT_EQ(ports.com[2]->lastFormat(), (SerialFormat{38400, 6, 'N', 1}));
}

TEST_F(LinkPort, TheWaitForTheFillerBurstEndsWithoutAFillerThread) {
    ScriptedPorts ports;
    gSettings.chboDirectBooster = 1;
    gSettings.cboCompoortb = '2';
    openCommandStationLink();
    ASSERT_TRUE(gCombThread);
    gCombThread.reset();  // no thread clears the request any more
    EXPECT_EQ(selectTrackFormat(1, 1, 1), 1);  // returns rather than waiting for ever
}

TEST_F(LinkPort, ClosingWhileTheThreadWaitsForTheStationLeavesTheRestOfTheQueueUnsent) {
    gSettings.radbtnP50X = 1;
    FakeCommandStation station(true);
    station.pty().setAsComPort(1);
    station.setSilent(true);
    openCommandStationLink();
    ASSERT_TRUE(gLinkOpen);
    gRunWithTrack = 1;
    // Each switch waits out the read's time-out for a reply that never comes, then shows the reply on the
    // GUI thread, which this thread does not serve before the close: the link thread is inside the first
    // switch when the close starts, however slow the machine. A close that let it work through the queue
    // would take a time-out per switch and send them all.
    int queued = 0;
    while (queueCommandWithValue(kCmdAccessoryGreen, static_cast<uint16_t>(100 + queued))) ++queued;
    ASSERT_GT(queued, 1);
    ASSERT_TRUE(station.waitForMessages(1));
    closeCommandStationLink();
    EXPECT_EQ(station.messagesSoFar(), (std::vector<std::vector<uint8_t>>{{0x90, 100, 0xC0}}))
        << "the switch in progress ends the link's work, and nothing is written once the link is closed";
}

TEST_F(LinkPort, TheS88ThreadReadsTheComInterfaceOnEachRequest) {
    gSettings.chboDirectBooster = 1;
    gSettings.cboS88poort = '4';  // COM2
    PtyPair track;
    track.setAsComPort(1);
    // Two image bytes, a 16-bit word each, after the first-contact byte.
    FakeConverter converter(2, [](int) { return std::vector<uint8_t>{0x01, 0x04, 0x00, 0x55, 0x55}; });
    converter.pty().setAsComPort(2);
    openCommandStationLink();
    ASSERT_TRUE(gS88Thread);
    ASSERT_EQ(gFeedbackByteCount, 2);
    EXPECT_TRUE(waitUntil([] { return gS88ShownStatus == kS88Ok; })) << "the start shows status 0";
    gRunWithTrack = 1;
    const uint32_t before = gFeedbackImage.lastRead().number;
    EXPECT_EQ(gS88PollRequest, 0) << "no request, no read";
    EXPECT_EQ(converter.rounds(), 0);
    // A busy machine may keep the converter from answering within the read's time: the request is made
    // again each time the thread has served one without a read.
    gS88PollRequest = 1;
    EXPECT_TRUE(waitUntil(
        [&] {
            if (gFeedbackImage.lastRead().number != before) return true;
            if (gS88PollRequest == 0) gS88PollRequest = 1;
            return false;
        },
        60000));
    ASSERT_NE(gFeedbackImage.lastRead().number, before);
    EXPECT_GE(converter.rounds(), 2);
    EXPECT_EQ(gFeedbackImage.byteAt(0), 0xC0) << "contact 2 from the word, contact 1 from the first byte";
    EXPECT_EQ(gFeedbackImage.byteAt(1), 0xFF);
    EXPECT_EQ(gS88Status, kS88Ok);
}
