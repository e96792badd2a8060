#pragma once
// TComb, the thread of the second COM port in direct mode: it keeps the port that TCom is not writing
// busy with a filler pattern and answers format changes (gComRequest).
#include <atomic>
#include <memory>

#include "link/port/link_thread.h"

class TComb final : public LinkThread {
public:
    TComb();  // created running
    ~TComb() override;

protected:
    void Execute() override;
};

extern std::unique_ptr<TComb> gCombThread;  // the running TComb, or none
// True while a TComb loop runs (read by TCom while it waits for a filler burst).
extern std::atomic<bool> gCombRunning;
