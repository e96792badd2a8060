#pragma once
// The current step of a running or paused program, written into its box on the diagram.
struct StepProgramRec;

// "%3d" in a fixed-pitch font on yellow (running) or magenta (paused), 24 pixels right of the box's left
// edge on its second line; nothing for a stopped program.
void drawStepNumber(const StepProgramRec* program);
