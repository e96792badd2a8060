#pragma once
// Control-post sessions ("stuurpost"): mode 12 with track control, 13 without (simulation).

// Starts a session of that mode, stops the running one of that mode, or switches between the two.
// 1 when a session was started or stopped (the window then shows the other mode).
int toggleControlPostSession(int mode);
// "Starten met spoorbaansturing" / "Stoppen sessie" (F10): stops a running demo or session, or opens
// the command-station link and starts a session with track control.
void mnuMetSturingClick();
// "Starten zonder spoorbaansturing" (F11).
void mnuZonderSturingClick();
// A start that waited for a dialog ends without a session: the link opened for it is closed again.
void abandonSessionStart();
// Closes every open dialog; an element dialog whose hit code (401..408) equals keep stays open, and with
// keep 1 the settings dialog opens on its network page.
void closeAllDialogs(int keep);
