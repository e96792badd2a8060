#include "layout/editor/editor_prompts.h"

#include <string>

#include "shell/window/status_line.h"

namespace {
constexpr const char* kPolylineHint =
    "Klik of 'enter' = punt invoegen / 'Backspace' = punt verwijderen / Klik of 'enter' tweemaal = bouwsteen "
    "invoegen / Shift(lock) = snap to grid uit";
}

void showEditorPrompt(const char* text) {
    setStatusLine(text, 1);
    setStatusLine("", 0);
}

void showPointEntryHint(int step) {
    switch (step) {
    case 0: showEditorPrompt(kPolylineHint); break;
    case 1: showEditorPrompt((std::string(kPolylineHint) + " / 'C' = bocht").c_str()); break;
    case 2: showEditorPrompt("Klik of druk 'enter' om punt vast te leggen  /  Shift(lock) = snap to grid uit"); break;
    default:
        showEditorPrompt("Klik of druk 'enter' om bouwsteen vast te leggen  /  Shift(lock) = snap to grid uit");
        break;
    }
}

void showPlaceHint() {
    showEditorPrompt(
        "Klik of druk 'enter' om de bouwsteen in te voegen  /  'W' of 'T' = hoek wijzigen  /  Shift(lock) = snap to "
        "grid uit");
}
