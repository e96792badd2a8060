#pragma once
// Moving due accessory commands from the accessory ring into the command queue, with the pulse times of
// the decoders, and drawing the decoder-activity markers.
#include <cstdint>

// gMsTick at which the scheduler may send the next command.
extern uint32_t gAccessoryDue;

// One step of the scheduler (command-station or direct mode by the settings).
void runAccessoryScheduler();
