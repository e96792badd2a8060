#pragma once
// The direct-mode sender: the link thread's pass when the PC itself generates the track signal.

// One pass of the direct-mode sender on the track port; false when it had nothing to send (the
// thread then sleeps 10 ms).
bool runDirectModePass();
