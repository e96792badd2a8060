#include "platform/gui_thread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace vestrel {

namespace {

// A worker's synchronous call waiting for the GUI thread.
struct PendingCall {
    const std::function<void()>* fn;
    bool done = false;
};

std::mutex gCallsMutex;
std::condition_variable gCallsChanged;  // a call was queued or one was done
std::deque<PendingCall*> gPendingCalls;

}  // namespace

bool onGuiThread() {
    QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

void runOnGuiThread(std::function<void()> fn) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) {
        fn();
        return;
    }
    QMetaObject::invokeMethod(app, std::move(fn), Qt::QueuedConnection);
}

void runOnGuiThreadAndWait(const std::function<void()>& fn) {
    if (onGuiThread()) {
        fn();
        return;
    }
    PendingCall call{&fn};
    {
        std::lock_guard<std::mutex> lock(gCallsMutex);
        gPendingCalls.push_back(&call);
    }
    gCallsChanged.notify_all();
    // The GUI thread's event loop serves it, or a GUI-thread wait that serves calls meanwhile.
    QMetaObject::invokeMethod(QCoreApplication::instance(), [] { serveGuiThreadCalls(); }, Qt::QueuedConnection);
    std::unique_lock<std::mutex> lock(gCallsMutex);
    gCallsChanged.wait(lock, [&] { return call.done; });
}

void serveGuiThreadCalls() {
    std::unique_lock<std::mutex> lock(gCallsMutex);
    while (!gPendingCalls.empty()) {
        PendingCall* call = gPendingCalls.front();
        gPendingCalls.pop_front();
        lock.unlock();
        (*call->fn)();
        lock.lock();
        call->done = true;
        gCallsChanged.notify_all();
    }
}

void serveGuiThreadCallsUntil(const std::function<bool()>& finished) {
    for (;;) {
        serveGuiThreadCalls();
        if (finished()) return;
        std::unique_lock<std::mutex> lock(gCallsMutex);
        gCallsChanged.wait_for(lock, std::chrono::milliseconds(1), [] { return !gPendingCalls.empty(); });
    }
}

}  // namespace vestrel
