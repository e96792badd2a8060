#pragma once
// The edit journal temp.tmp (undo and redo).
void emptyEditJournal();
// Undoes (0) or redoes (1) one edit; 2 or more empties the journal. The bytes walked, 0 when nothing was done.
int journalUndoRedo(int direction);
