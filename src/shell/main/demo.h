#pragma once
// The guided demo.

// Runs demo step n: 1..7 start a demo, -1 stops it, 0 performs the current step (from "VERDER", or from
// the main cycle while gDemoStep is negative, for a step that waits).
void runDemoStep(int step);
// Shows the next line of the demo text in the demo window and adds delta, a signed byte (255 is -1),
// to gDemoStep.
void showNextDemoLine(int delta);
