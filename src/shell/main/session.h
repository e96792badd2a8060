#pragma once
// Control-post sessions ("stuurpost"): mode 12 with track control, 13 without (simulation).

// Starts a session of that mode, stops the running one of that mode, or switches between the two.
// 1 when a session was started or stopped.
int toggleControlPostSession(int mode);
// What "Starten met spoorbaansturing" / "Stoppen sessie" (F10) does: stops a running demo or session, or
// opens the command-station link and starts a session with track control.
void startOrStopSessionWithTrack();
// Closes every open dialog; an element dialog whose hit code (401..408) equals keep stays open, and with
// keep 1 the settings dialog opens on its network page.
void closeAllDialogs(int keep);
