#pragma once
// What code without widgets asks of the main window. Each call does nothing while there is no main window.

// True while the main window is shown.
bool mainWindowVisible();
// Window caption and file read-outs: layout name, scale, zoom and turnout size (part of the title update).
void updateTitleTexts();
// "Nummers/Secties onzichtbaar" labels: grey while the numbers/sections are shown, blue while hidden.
void showVisibilityLabels();
// The main window's client area is never narrower than its design.
constexpr int kMainWindowMinWidth = 800;
// Sizes the main window's client area to gCanvasSize, widened to kMainWindowMinWidth, and has the whole
// diagram drawn again (after a layout was loaded).
void sizeMainWindowToCanvas();
// The same, later: at the next round of events, or sooner when something draws into the diagram or
// redraws it whole (the canvases get their size before that).
void scheduleMainWindowSizing();
