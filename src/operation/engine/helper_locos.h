#pragma once
// Helper locomotives and wagon kinds.
struct WagonRec;
struct LocoRec;

// Sets a wagon's kind and number; mode 0 an edit, 1 re-link after the train was put together or
// placed, 2 release (the wagon leaves its train).
void setWagonKind(WagonRec* wagon, char kind, int number, int mode);

// Gives the wagon the length of its lengthCm (at least 5 cm) and re-places it on the track; 1 when
// applied on the track, 0 otherwise.
int applyWagonLength(WagonRec* wagon);

struct BlockRec;
// Places the wagon on the block at its clicked segment (section index), the click point being the
// mouse point; 1 placed, 0 not.
int placeWagonOnBlock(WagonRec* wagon, BlockRec* block, int segment);

// Sets the main locomotive's maximum step to its speed steps, lowered to the step at which it runs
// as fast as the slowest helper locomotive in its train can at that helper's top step.
void limitMaxStepByHelpers(LocoRec* main);
