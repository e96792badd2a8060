#pragma once
// Plays the shipped demos on the real main window as a user would: the demo data and configuration of
// data/ in the working folder, the main cycle stepped by hand on a manual clock, "VERDER" pressed
// whenever it is shown.
#include <functional>
#include <string>

#include "platform/clock.h"
#include "shell/shell_test_support.h"

class DemoPlayer {
public:
    // Copies data/demo and data/vestrel.cfg into the working folder and starts the program (timer stopped).
    DemoPlayer();

    // One main-cycle tick, 30 ms later on the clock.
    void tick();
    // Ticks until the demo shows "VERDER" again (or has ended); false when it still waits after limit ticks.
    bool tickWhileWaiting(int limit = 20000);
    // Presses "VERDER" as a user would.
    void pressVerder();
    // Starts demo n and plays it to its end: "VERDER" whenever shown, ticks while a step waits. Returns an
    // empty string when it ended cleanly within maxPresses presses, else what went wrong. Counts the text
    // lines shown (each change of the demo window's text) in linesShown.
    std::string playToEnd(int n, int maxPresses = 400);

    // Main-cycle ticks the player lets pass before each press of "VERDER", as a user reads the line.
    int readingTicks = 0;
    // Called after every tick with the step as it was before the tick: a test sees there what made a
    // waiting step go on.
    std::function<void(int stepBefore)> afterTick;

    RunningProgram program;
    vestrel::ManualClock clock{100000};
    int linesShown = 0;
};
