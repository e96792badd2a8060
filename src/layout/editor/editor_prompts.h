#pragma once
// The status-line prompts of the layout editor.

// Point entry: 0 a connecting track, 1 a block (with the curve key), 2 dragging one point, 3 moving a
// whole element.
void showPointEntryHint(int step);
// Placing a point element.
void showPlaceHint();
// Replaces whatever the status line shows by text.
void showEditorPrompt(const char* text);
