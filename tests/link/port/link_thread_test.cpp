// The link threads' common part: sleeps that end when asked to terminate, and a wait for the end that
// serves the thread's calls to the GUI thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

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

class Sleeper final : public LinkThread {
public:
    Sleeper() { start(); }
    ~Sleeper() override {
        Terminate();
        WaitFor();
    }
    std::atomic<bool> woke{false};

protected:
    void Execute() override { woke = !sleepMs(60000); }
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
    const auto started = std::chrono::steady_clock::now();
    s.Terminate();
    s.WaitFor();
    EXPECT_TRUE(s.woke);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
}
