// Work handed from a worker thread to the GUI thread.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <atomic>
#include <thread>

#include "platform/gui_thread.h"

using namespace vestrel;

TEST(GuiThread, QueuedWorkRunsOnTheGuiThreadLater) {
    EXPECT_TRUE(onGuiThread());
    std::atomic<bool> workerSawGui{true};
    QThread* ranOn = nullptr;
    std::thread worker([&] {
        workerSawGui = onGuiThread();
        runOnGuiThread([&] { ranOn = QThread::currentThread(); });
    });
    worker.join();
    EXPECT_FALSE(workerSawGui);
    EXPECT_EQ(ranOn, nullptr);  // not before the GUI thread handles its events
    QCoreApplication::processEvents();
    EXPECT_EQ(ranOn, QCoreApplication::instance()->thread());
}

TEST(GuiThread, TheWaitingCallReturnsAfterTheWorkRan) {
    std::atomic<bool> done{false};
    int value = 0;
    std::thread worker([&] {
        runOnGuiThreadAndWait([&] { value = 42; });
        done = true;                 // the value is written before the call returns
        runOnGuiThread([] {});       // wakes the GUI thread's wait below
    });
    while (!done) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    worker.join();
    EXPECT_EQ(value, 42);
    // On the GUI thread itself it runs at once.
    runOnGuiThreadAndWait([&] { value = 7; });
    EXPECT_EQ(value, 7);
}

TEST(GuiThread, AWaitOnTheGuiThreadServesAWorkersCall) {
    // The worker is inside a waiting call while the GUI thread waits for the worker to end: the
    // GUI thread's wait runs the call, so neither waits for ever.
    std::atomic<bool> finished{false};
    int value = 0;
    std::thread worker([&] {
        runOnGuiThreadAndWait([&] { value = 5; });
        finished = true;
    });
    serveGuiThreadCallsUntil([&] { return finished.load(); });
    worker.join();
    EXPECT_EQ(value, 5);
    QCoreApplication::processEvents();  // the queued wake-up finds nothing left to run
}
