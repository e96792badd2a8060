#pragma once
// The edit journal temp.tmp (undo and redo).
void emptyEditJournal();
