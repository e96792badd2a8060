#pragma once
// Starting and stopping a control-post session, and closing the dialogs around it.

// Mode 12 with track control, 13 without; starts the session of that kind or stops the running one.
// 1 when the session state changed and the window was switched, else 0.
int toggleControlPostSession(int mode);
// What "Starten met spoorbaansturing" / "Stoppen sessie" (F10) does: stops a running demo or session, or
// opens the command-station link and starts a session with track control.
void startOrStopSessionWithTrack();
// Closes every open dialog; an element dialog whose hit code (401..408) equals keep stays open, and with
// keep 1 the settings dialog opens on its network page.
void closeAllDialogs(int keep);
