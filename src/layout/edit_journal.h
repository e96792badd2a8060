#pragma once
// The edit journal temp.tmp (undo and redo).
#include "layout/layout_model.h"

void emptyEditJournal();
// Undoes (0) or redoes (1) one edit; 2 or more empties the journal. The bytes walked, 0 when nothing was done.
int journalUndoRedo(int direction);

// Appends one entry; a new edit first discards the entries that could be redone. 1 written; 0 for a missing
// record, a kind that is not journalled or a file that cannot be written (the edit stands, not undoable).
int journalRecordEdit(char action, char kind, const void* record, const void* oldRecord, int index, int secondIndex);

// The same with the kind letter taken from the record type.
constexpr char journalKindOf(const TrackRec*) { return 'v'; }
constexpr char journalKindOf(const BlockRec*) { return 'b'; }
constexpr char journalKindOf(const TurnoutRec*) { return 'k'; }
constexpr char journalKindOf(const SignalRec*) { return 's'; }
constexpr char journalKindOf(const OutputRec*) { return 'o'; }
constexpr char journalKindOf(const InputRec*) { return 'i'; }
template <class Rec>
int journalRecordEdit(char action, const Rec* record, const Rec* oldRecord, int index, int secondIndex) {
    return journalRecordEdit(action, journalKindOf(record), record, oldRecord, index, secondIndex);
}
