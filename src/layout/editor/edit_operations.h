#pragma once
// Which interactive insert or move of the editor is in progress.

// A connecting track or a block is being inserted or moved.
bool trackOrBlockEditInProgress();
// A turnout or a signal is being inserted or moved.
bool turnoutOrSignalEditInProgress();
