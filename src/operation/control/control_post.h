#pragma once
// The control-post command dispatcher.
#include <cstdint>

// Set while input simulation runs (clicks toggle feedback contacts instead of operating elements).
extern uint8_t gNoFeedbackPoll;

// Carries out command code for control post `post` (0..19) during a session.
void controlPostCommand(int code, int post);
