#pragma once
// The main cycle: the periodic work of the program, run by the main window's timer.

// One tick.
void mainCycleTick();
