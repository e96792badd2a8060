#pragma once
// Control-post sessions ("stuurpost"): mode 12 with track control, 13 without (simulation).

// Starts a session of that mode, stops the running one of that mode, or switches between the two.
// 1 when a session was started or stopped.
int toggleControlPostSession(int mode);
