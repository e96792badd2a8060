#pragma once
// Deleting layout elements. Every deletion of an element, by the editor or by undo and redo, goes through
// the one function of its kind: it erases the element, frees it, closes the gap in its table (every later
// record's own index stays true) and clears every link that pointed to it, so that nothing keeps the
// address of a freed record.
//
// Indexes outside the table do nothing. With the journal flag the deletion is recorded in the edit journal
// first; undo and redo delete without it. Each sets its dirty bit (structure for tracks, blocks, turnouts
// and turntables, properties for signals, outputs and inputs), sets gEditMode to 0 and clears the status
// line.

void deleteTrack(int index, int journal);
// With the journal flag a block's signals are deleted first, each journalled, so that undo brings back the
// block and then its signals. Without it the signals stay, without a block.
void deleteBlock(int index, int journal);
// The halves of double turnouts are linked again afterwards, since their links are table indexes.
void deleteTurnout(int index, int journal);
void deleteSignal(int index, int journal);
void deleteOutput(int index, int journal);
void deleteInput(int index, int journal);
// Turntables are not journalled. With the track flag the bridge track goes too, and since that changes the
// track table outside the journal, the journal is emptied.
void deleteTurntable(int index, int withTrack);
