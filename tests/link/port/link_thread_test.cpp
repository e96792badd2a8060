// The link threads' common part: sleeps that end when asked to terminate, and a wait for the end that
// serves the thread's calls to the GUI thread.
#include <gtest/gtest.h>

#include <atomic>

#include "link/link_test_support.h"
#include "link/port/link_thread.h"
#include "platform/gui_thread.h"

namespace {

// Keeps calling the GUI thread and waiting for it, as TCom does with the model's events.
class GuiCaller final : public LinkThread {
public:
    GuiCaller() { start(); }
    ~GuiCaller() override {
        Terminate();
        WaitFor();
    }
    std::atomic<int> calls{0};

protected:
    void Execute() override {
        while (!Terminated()) vestrel::runOnGuiThreadAndWait([this] { ++calls; });
    }
};

// Sleeps far longer than any test waits: only Terminate can end the sleep while the test looks.
class Sleeper final : public LinkThread {
public:
    Sleeper() { start(); }
    ~Sleeper() override {
        Terminate();
        WaitFor();
    }
    std::atomic<bool> asleep{false};
    std::atomic<bool> woke{false};
    std::atomic<bool> returned{false};

protected:
    void Execute() override {
        asleep = true;
        woke = !sleepMs(4 * testsupport::kStateWaitLimitMs);
        returned = true;
    }
};

}  // namespace

TEST(LinkThread, TheWaitForItsEndServesItsCallsToTheGuiThread) {
    GuiCaller t;
    // The GUI thread runs no event loop here: only the wait below serves the calls.
    while (t.calls < 3) vestrel::serveGuiThreadCalls();
    t.Terminate();
    t.WaitFor();
    EXPECT_GE(t.calls, 3);
}

TEST(LinkThread, TerminateEndsASleep) {
    Sleeper s;
    ASSERT_TRUE(linktest::waitUntil([&] { return s.asleep.load(); }));
    s.Terminate();
    EXPECT_TRUE(linktest::waitUntil([&] { return s.returned.load(); })) << "the sleep ran on after Terminate";
    s.WaitFor();
    EXPECT_TRUE(s.woke);
}
