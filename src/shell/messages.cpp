#include "shell/messages.h"

uint8_t gMessageShown = 0;

namespace {
std::string gLastMessage;
}

int showDialogMessage(const std::string& text, int /*mode*/) {
    gLastMessage = text;
    return 0;
}

void fatalOutOfMemory() { showDialogMessage("Er is te weinig geheugen (malloc). Het programma zal afgesloten worden !", 1); }

const std::string& lastDialogMessage() { return gLastMessage; }
