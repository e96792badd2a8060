// Serial ports on a pseudo-terminal: names, exclusive opening, formats (any baud rate), time-outs,
// a lost device and the settings given back on close.
#include <gtest/gtest.h>

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cstdlib>

#include "platform/pty_pair.h"
#include "platform/serial_port.h"

using namespace vestrel;
using vestrel::test::PtyPair;

namespace {

// The format and speed as the device holds them, read through a descriptor of the test's own.
bool deviceSettings(const std::string& path, termios2& t) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return false;
    const bool ok = ::ioctl(fd, TCGETS2, &t) == 0;
    ::close(fd);
    return ok;
}

// Waits until n bytes are waiting at the port: a generous limit, so that a busy machine only slows it.
bool waitForBytes(SerialPort& port, int n) {
    for (int i = 0; i < 10000 && port.bytesWaiting() < n; ++i) ::usleep(1000);
    return port.bytesWaiting() >= n;
}

}  // namespace

TEST(SerialPort, ComNamesMapToTheEnvironmentOrToTtyS) {
    ::unsetenv("VESTREL_COM3");
    EXPECT_EQ(serialDevicePath("COM1"), "/dev/ttyS0");
    EXPECT_EQ(serialDevicePath("COM9"), "/dev/ttyS8");
    ::setenv("VESTREL_COM3", "/tmp/some-device", 1);
    EXPECT_EQ(serialDevicePath("COM3"), "/tmp/some-device");
    ::unsetenv("VESTREL_COM3");
    for (const char* bad : {"COM0", "COM10", "LPT1", "com1", ""}) EXPECT_EQ(serialDevicePath(bad), "") << bad;
}

TEST(SerialPort, OpensExclusivelyAndSetsAnyBaudRate) {
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    pty.setAsComPort(4);
    auto port = openSerialPort("COM4");
    ASSERT_TRUE(port);
    EXPECT_TRUE(port->alive());
    EXPECT_FALSE(openSerialPort("COM4")) << "a second opener, even in this process, is kept out";
    EXPECT_FALSE(serialPortFree("COM4"));

    const SerialFormat formats[] = {{2400, 8, 'N', 2}, {16457, 8, 'N', 1}, {115200, 8, 'E', 2}, {38400, 7, 'N', 1},
                                    {38400, 6, 'N', 1}};
    for (const SerialFormat& f : formats) {
        ASSERT_TRUE(port->setFormat(f));
        SerialFormat back;
        ASSERT_TRUE(port->readFormat(back));
        // A pseudo-terminal keeps the speed and the stop bits; it always carries 8 bits without parity.
        EXPECT_EQ(back.baud, f.baud);
        EXPECT_EQ(back.stopBits, f.stopBits) << f.baud;
    }
    port->setFormat({16457, 8, 'N', 1});
    termios2 t;
    ASSERT_TRUE(deviceSettings(pty.slavePath(), t));
    EXPECT_EQ(t.c_cflag & CBAUD, static_cast<unsigned>(BOTHER));
    EXPECT_EQ(t.c_ospeed, 16457u);
    port.reset();
    EXPECT_TRUE(serialPortFree("COM4"));
}

TEST(SerialPort, SettingsAreGivenBackOnClose) {
    PtyPair pty;
    pty.setAsComPort(5);
    termios2 before;
    ASSERT_TRUE(deviceSettings(pty.slavePath(), before));
    {
        auto port = openSerialPort("COM5");
        ASSERT_TRUE(port);
        port->setFormat({16457, 6, 'E', 2});
    }
    termios2 after;
    ASSERT_TRUE(deviceSettings(pty.slavePath(), after));
    EXPECT_EQ(after.c_cflag, before.c_cflag);
    EXPECT_EQ(after.c_lflag, before.c_lflag);
    EXPECT_EQ(after.c_ospeed, before.c_ospeed);
}

TEST(SerialPort, BytesBothWaysWithinTheTimeOuts) {
    PtyPair pty;
    pty.setAsComPort(6);
    auto port = openSerialPort("COM6");
    ASSERT_TRUE(port);
    port->setTimeouts({0, 0, 100, 0, 100});
    const uint8_t out[] = {0x58, 0x80, 0x05, 0x00, 0x2E, 0x60};
    EXPECT_EQ(port->write(out, 6), 6);
    EXPECT_EQ(pty.receive(6), std::vector<uint8_t>(out, out + 6)) << "raw: no byte changed on the way";

    pty.send({0x0A, 0x0D, 0x11, 0x00, 0x7F});
    uint8_t in[8] = {};
    // Wait until all arrived, then look at what is waiting.
    ASSERT_TRUE(waitForBytes(*port, 5));
    EXPECT_EQ(port->bytesWaiting(), 5);
    EXPECT_EQ(port->read(in, 2), 2);
    EXPECT_EQ(in[0], 0x0A);
    EXPECT_EQ(in[1], 0x0D);
    EXPECT_EQ(port->read(in, 8), 3) << "the read constant ends a read that gets fewer bytes";
    EXPECT_EQ(in[0], 0x11);
    EXPECT_EQ(port->read(in, 1), 0) << "silence: nothing after the read constant";

    pty.send({1, 2, 3});
    ASSERT_TRUE(waitForBytes(*port, 3));
    port->purgeReceive();
    EXPECT_EQ(port->bytesWaiting(), 0);
    EXPECT_TRUE(port->drain());
}

TEST(SerialPort, APseudoTerminalHasNoModemLines) {
    PtyPair pty;
    pty.setAsComPort(7);
    auto port = openSerialPort("COM7");
    ASSERT_TRUE(port);
    EXPECT_EQ(port->cts(), LineState::Unreadable);
    EXPECT_EQ(port->dsr(), LineState::Unreadable);
    port->setDtr(true);  // does nothing on the device, but is remembered
    port->setRts(true);
    EXPECT_TRUE(port->dtr());
    EXPECT_TRUE(port->alive());
}

TEST(SerialPort, AClosedMasterIsALostPort) {
    PtyPair pty;
    pty.setAsComPort(8);
    auto port = openSerialPort("COM8");
    ASSERT_TRUE(port);
    port->setTimeouts({0, 0, 50, 0, 50});
    pty.closeMaster();
    EXPECT_FALSE(port->alive());
    uint8_t b[4];
    EXPECT_EQ(port->read(b, 4), 0);
    EXPECT_EQ(port->write(b, 4), 0);
    SerialFormat f;
    EXPECT_FALSE(port->readFormat(f));
}

TEST(SerialPort, MissingDevicesAndNonTerminals) {
    ::setenv("VESTREL_COM9", "/nonexistent/tty", 1);
    EXPECT_FALSE(openSerialPort("COM9"));
    EXPECT_FALSE(serialPortFree("COM9"));
    ::setenv("VESTREL_COM9", "/dev/null", 1);
    auto port = openSerialPort("COM9");
    ASSERT_TRUE(port) << "a non-terminal opens; the link's port check finds it";
    EXPECT_FALSE(port->setFormat({2400, 8, 'N', 2}));
    EXPECT_FALSE(port->alive());
    port.reset();
    EXPECT_FALSE(serialPortFree("COM9")) << "not a terminal: not a free COM port";
    ::unsetenv("VESTREL_COM9");
}

TEST(SerialPort, TheOpenerCanBeReplaced) {
    int asked = 0;
    setSerialOpener([&](const std::string& name) -> std::unique_ptr<SerialPort> {
        ++asked;
        EXPECT_EQ(name, "COM2");
        return nullptr;
    });
    EXPECT_FALSE(openSerialPort("COM2"));
    setSerialOpener({});
    EXPECT_EQ(asked, 1);
}
