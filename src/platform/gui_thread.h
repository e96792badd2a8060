#pragma once
// Running work on the GUI thread from the link's worker threads. The model tables, the widgets and
// the message window belong to the GUI thread; a worker hands its GUI-side work over with these.
#include <functional>

namespace vestrel {

// True on the GUI thread (the application's thread), and everywhere while no application exists.
bool onGuiThread();
// Queues fn to run on the GUI thread and returns at once (on the GUI thread too, it runs later).
// Without an application it runs at once.
void runOnGuiThread(std::function<void()> fn);
// Runs fn on the GUI thread and waits until it has run (the thread class's synchronous call). On the
// GUI thread, or without an application, it runs at once.
void runOnGuiThreadAndWait(const std::function<void()>& fn);
// GUI thread: runs the workers' waiting calls now (the event loop runs them too).
void serveGuiThreadCalls();
// GUI thread: waits until finished() answers true, running the workers' waiting calls meanwhile, so
// that a worker in such a call can reach its end (closing the link waits for its threads like this).
void serveGuiThreadCallsUntil(const std::function<bool()>& finished);

}  // namespace vestrel
