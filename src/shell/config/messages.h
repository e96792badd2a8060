#pragma once
// Messages to the user: the message window, the Yes/No question, the status line.
// Text is 8-bit Windows text, converted at the widgets.
#include <cstdint>
#include <string>

extern uint8_t gMessageShown;  // 1 while the message window is up

// Modes: 0/1 show the message window; 2 ask Yes/No (1 = "Ja"); 3 set the text only; 4 append only;
// 5 append and show. Returns 0 while the main window is not visible.
int showDialogMessage(const std::string& text, int mode);
// Shows the out-of-memory message modally, then closes the main window (ending the program).
void fatalOutOfMemory();
// The text of the last showDialogMessage call, whether or not it could be shown (for the logs and tests).
const std::string& lastDialogMessage();
// Set when the program must end before its main window is shown (the entry then does not run it).
bool programEndRequested();
