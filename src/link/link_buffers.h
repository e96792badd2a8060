#pragma once
// The link's command and accessory queues.

// Queues an accessory command: kind 'G', 'R', 'S' or 'O', address A, second address B (0 none), pulse time
// in units of 100 ms. Returns non-zero when queued; nothing is queued unless a control post runs.
int queueAccessoryCommand(char kind, int addressA, int addressB, int pulseTime);
