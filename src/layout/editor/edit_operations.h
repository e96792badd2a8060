#pragma once
// Which interactive insert or move of the editor is in progress.

// A connecting track or a block is being inserted or moved.
bool trackOrBlockEditInProgress();
// A turnout or a signal is being inserted or moved.
bool turnoutOrSignalEditInProgress();

// A message was closed while an element of one of those operations is on the pointer: it is laid out at
// the pointer again (gEditMode 4). An operation that waits leaves its mode as it is: for its dialog (3),
// for the next element (5), in a curve (31); mode 4 there would find no element to lay out, or take the
// one under its dialog, and leave the editor with no way out. Answers whether an operation runs.
bool restartPlacementAfterMessage();
