#include "link/port/link_thread.h"

#include <chrono>

#include "platform/gui_thread.h"

LinkThread::~LinkThread() {
    Terminate();
    WaitFor();
}

void LinkThread::start() {
    thread_ = std::thread([this] {
        Execute();
        finished_ = true;
    });
}

void LinkThread::Terminate() {
    {
        std::lock_guard<std::mutex> lock(sleepMutex_);
        terminated_ = true;
    }
    wake_.notify_all();
}

void LinkThread::WaitFor() {
    if (!thread_.joinable() || thread_.get_id() == std::this_thread::get_id()) return;
    if (vestrel::onGuiThread()) vestrel::serveGuiThreadCallsUntil([this] { return finished_.load(); });
    thread_.join();
}

bool LinkThread::sleepMs(int ms) {
    std::unique_lock<std::mutex> lock(sleepMutex_);
    return !wake_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return terminated_.load(); });
}
