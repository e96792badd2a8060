#pragma once
// Keeping the element dialogs away from freed records: when the element a dialog edits goes away, the
// dialog closes and the selection is cleared.

// Before `record` is freed: if it is a selected element, its dialog closes and the selection is cleared.
void releaseSelection(const void* record);
// After records may have been freed (undo, redo, a deletion that takes others along): every selected
// element that is no longer in its table is released.
void dropStaleSelections();
