#pragma once
// Contact evaluation, target speed and the wait time shown in the control post.

// The wait label of control-post row 0..19 shows the wait left of its train's head block.
void showLocoWaitTime(int row);
