#include "shell/input_state.h"

DiagramPoint gMousePoint;
uint8_t gEditOpRunning = 0;
uint8_t gPointerInDiagram = 0;
