#include "steps/step_boxes.h"

// No step programs are kept yet, so there are no boxes to move or draw.
void offsetStepBoxes(int32_t, int32_t) {}
void rotateStepBoxes(int, int32_t, int32_t) {}
void drawStepBoxes(int) {}
