#pragma once
// The guided demo.

// Runs demo step n: 1..7 start a demo, -1 stops it, 0 polls a waiting step from the main cycle.
void runDemoStep(int step);
