#pragma once
// The two read-out labels of the editor on the main window: lblLijnlengte (line length and angles) and
// lblCurPos (pointer position). Text is 8-bit Windows text.
#include <string>

void setLineLengthReadout(const std::string& text);
void setCursorPositionReadout(const std::string& text);
// What the labels show (also without a main window).
const std::string& lineLengthReadout();
const std::string& cursorPositionReadout();
