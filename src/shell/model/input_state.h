#pragma once
// Pointer state of the main window's input routing.
#include <cstdint>

#include "layout/model/layout_model.h"

extern DiagramPoint gMousePoint;  // the current mouse point, used by all hit tests
extern uint8_t gEditOpRunning;    // 1 while an editor operation follows the pointer
