#pragma once
// The diagram on the main window: the full redraw with its background, the element pass, the layer
// buttons, and in editor mode the element tool bar, the direction legend and the read-outs.
// A mode or flag of 1 also paints the back buffer (gBackBuffer), so that moving trains can restore
// what lies under them.
#include <cstdint>

// Full redraw. While the main window repaints itself (gRepaintRequest 1) only the window's own
// surface (read-outs, legend, tool bar) is drawn again; the diagram keeps its picture.
void redrawSchema(int mode);
// A full redraw (mode 1) that is due but need not happen at once: a network read that completes a copy
// schedules it, so that the read stays short. The next main cycle tick runs it before anything moves,
// and so does whatever reads the picture earlier (a repaint of the window, a change that erases
// trains from it). Any full redraw with the back buffer in between takes its place.
void scheduleFullRedraw();
// Returns whether it drew.
bool runScheduledFullRedraw();
// Silver drawing area, the optional background bitmap and, in editor mode, the grid.
void drawBackground(int mode);
// Every element in its fixed order: step-program boxes, tracks, blocks, turnouts, signals, outputs,
// inputs, turntables, then the trains and the loose wagons on the track.
void drawAllElements(int mode);
// Layout name, scale, zoom, turnout size and the window caption.
void updateTitleBar();

// Layer buttons 1, 2, 3 (bits 1, 2, 4): 8-pixel boxes side by side in the top-left corner of the diagram.
void drawLayerButton(int layerBit);
// Shows or hides a layer: the button and every track and block on that layer are drawn again.
void toggleLayer(int layerBit);
// 501, 502 or 504 for the layer button under the mouse point, else 0.
int hitLayerButton();

// The element tool bar of the editor, drawn on the main window's own surface above the diagram.
constexpr int kToolbarButtons = 10;
constexpr int kToolbarButtonWidth = 44;
constexpr int kToolbarTop = 10;
constexpr int kToolbarBottom = 42;
extern int32_t gToolbarX[kToolbarButtons];       // left edge of each button
extern const char kToolbarLetters[kToolbarButtons];  // 'l', 'r', 'k', 'x', 'b', 'v', 's', 'o', 'i', 'd'
void initToolbar();
void drawToolbar();
// The small turnout picture of the tool bar: a straight track from (x, y) with the letter's legs.
void drawTurnoutIcon(int x, int y, char letter);
// The letter of the tool-bar button under the mouse point (also given in `letter`), or 0. Only while the
// pointer is on the window itself, not on the diagram image.
int hitToolbar(int& letter);

// The red lamp square (half size 3) with which the connection analysis marks a way that ends nowhere.
void drawDeadEndMark(int x, int y);
