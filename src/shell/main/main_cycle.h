#pragma once
// The main cycle: the periodic work of the program, run by the main window's timer (Timer1) on the GUI
// thread. Time comes from vestrel::tickCountMs, which a test can replace to step the cycle tick by tick.
#include <cstdint>
#include <string>

// One tick: period learning, the session's engines or the editor's hover information, deferred
// redraws, the network send passes and the tick's own CPU time.
void mainCycleTick();

// Marks a tick in progress. A modal question opened by something the tick calls runs a nested event
// loop, in which the timer keeps firing; those ticks find a tick in progress and do nothing.
class CycleTickGuard {
public:
    CycleTickGuard();
    ~CycleTickGuard();
    CycleTickGuard(const CycleTickGuard&) = delete;
    CycleTickGuard& operator=(const CycleTickGuard&) = delete;
    // False when another tick was already in progress.
    bool entered() const { return entered_; }

private:
    bool entered_;
};

// Learning the real tick period (gTickPeriod): ten consecutive intervals within 3 ms of their running
// mean fix it; the sixth change of the learned value is reported as an unstable clock and ends learning.
extern uint32_t gPreviousTickTime;  // gMsTick of the previous tick
extern int64_t gClockSampleSum;
extern int gClockSampleCount;
extern int gClockRelearnCount;
constexpr int kClockSamples = 10;
constexpr int kClockTolerance = 3;
constexpr int kClockRelearnLimit = 5;
void learnTickPeriod();

// CPU time of one tick in microseconds: minimum, maximum and a mean over 101 ticks averaged with the
// mean before it.
struct CycleTimes {
    int32_t minimum = 100000;
    int32_t maximum = 0;
    int32_t mean = 0;
};
extern CycleTimes gCycleTimes;
extern int32_t gCycleTimeSum;
extern uint8_t gCycleTimeCount;
extern int32_t gCycleTimeLastMean;
void recordCycleTime(int32_t microseconds);
// "%dms(CPU:%d-%d-%dµs)" with the tick period, minimum, mean and maximum (8-bit Windows text).
std::string cycleStatisticsText();
// Shows the statistics in lblKlokinterval, then starts a new minimum and maximum (the per-second step
// of a session calls it).
void showCycleStatistics();
