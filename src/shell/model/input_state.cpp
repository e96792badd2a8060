#include "shell/model/input_state.h"

DiagramPoint gMousePoint;
uint8_t gEditOpRunning = 0;
