#pragma once
// The two halves of toggleControlPostSession; each answers 1 when the session state changed.
int stopSession(int mode);
int startSession(int mode);
