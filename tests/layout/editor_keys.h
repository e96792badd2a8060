#pragma once
// A key as the main window hands it to the layout editor: the pending key with its modifier bits.
#include <cstdint>

#include "layout/editor/editor_dispatch.h"
#include "shell/model/app_state.h"

inline void editorKey(int code, int shift = 0) {
    gMouseButton = 0;
    gPendingKey = static_cast<uint8_t>(code);
    gShiftState = shift;
    dispatchEditorCommand(0);
    gPendingKey = 0;
    gShiftState = 0;
}
