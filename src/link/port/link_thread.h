#pragma once
// What the three link threads (TCom, TComb, T_S88) share: a std::thread running Execute, created
// running, asked to terminate, and sleeps that end at once when it is asked.
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

class LinkThread {
public:
    virtual ~LinkThread();
    LinkThread(const LinkThread&) = delete;
    LinkThread& operator=(const LinkThread&) = delete;

    // Asks the loop to end; sleeps end at once.
    void Terminate();
    bool Terminated() const { return terminated_.load(); }
    // Waits until Execute has returned. On the GUI thread the thread's calls to the GUI thread are
    // served meanwhile, so the wait cannot lock up with a thread inside such a call.
    void WaitFor();

protected:
    LinkThread() = default;
    // Starts Execute on the thread (call at the end of the derived constructor).
    void start();
    virtual void Execute() = 0;
    // Sleeps ms milliseconds; false when the thread was asked to terminate meanwhile.
    bool sleepMs(int ms);

private:
    std::thread thread_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
    std::mutex sleepMutex_;
    std::condition_variable wake_;
};
