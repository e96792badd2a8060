#include "operation/control/control_post.h"

uint8_t gNoFeedbackPoll = 0;

void controlPostCommand(int, int) {}
