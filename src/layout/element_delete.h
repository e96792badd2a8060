#pragma once
// Deleting layout elements. An index outside the table does nothing. With the journal flag the deletion
// is recorded for undo (a block then also takes its signals along); undo and redo delete without it.

void deleteTrack(int index, bool journal);
void deleteBlock(int index, bool journal);
void deleteTurnout(int index, bool journal);
void deleteSignal(int index, bool journal);
void deleteOutput(int index, bool journal);
void deleteInput(int index, bool journal);
// Turntables are not journalled; withTrack also deletes the bridge track.
void deleteTurntable(int index, bool withTrack);
