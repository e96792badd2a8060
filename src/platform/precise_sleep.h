#pragma once
// Sleeping on a worker thread with the finest timing the system offers.
namespace vestrel {

// Sleeps ms milliseconds on the monotonic clock (continues after a signal). Never call it on the GUI thread.
void preciseSleepMs(int ms);

}  // namespace vestrel
