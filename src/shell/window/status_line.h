#pragma once
// The status line drawn across the bottom of the main window over its status strip.
#include <cstdint>
#include <string>

constexpr size_t kStatusTextMax = 160;

extern std::string gStatusText;   // at most 160 characters
extern uint8_t gStatusLineShown;  // 1 while the status line is drawn over the status strip

// Mode 1: set the text; any other non-zero mode: append to it (both not drawn); mode 0: draw it. While the
// line is already shown, mode 0 draws the stored text again and ignores the given one.
void setStatusLine(const std::string& text, int mode);
// Clears the line and shows the status strip of the current mode again.
void clearStatusLine();
