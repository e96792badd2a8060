#pragma once
// The steps of the seven demos, one file per group of demos. Each performs the step |gDemoStep| of its
// demos (negative while it waits, polled by the main cycle) and returns false for a step it does not
// know, which finishes the demo. A step that ends its demo sets gDemoStep to -1.

bool performDrawingDemoStep(int step);  // demo 1: steps 1..50
bool performTrainDemoStep(int step);    // demos 3, 4 and 6: steps 101..200 and 251..300
bool performRouteDemoStep(int step);    // demos 2, 5 and 7: steps 51..100, 201..250 and 301..350

struct InputRec;

// Points the mouse at the input and switches its contact in the feedback image when it disagrees with
// what stands there: on under a locomotive or wagon, off where none stands.
void simulateDemoContact(const InputRec* input);

// Ends the running demo (the "finishing" of a demo): see demo.cpp.
void finishDemo();

// A right-click on the diagram, repeated while an editor operation runs: ends any tool or entry.
void endEditorOperation();
