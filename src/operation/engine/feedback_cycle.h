#pragma once
// The feedback side of the running cycle: asking for a new image and turning a new image into block
// occupancy and input states.
#include <cstdint>

// gMsTick at which the next feedback poll is due.
extern uint32_t gFeedbackPollDue;

// Queues the feedback poll when it is due (only with track control; without it the command queue is
// kept empty).
void requestFeedback();
// Decodes a newly published image: changed blocks are redrawn and evaluated, changed inputs redrawn;
// both are queued to the network.
void processFeedbackImage();
