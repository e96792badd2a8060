#pragma once
// The edit journal temp.tmp (undo and redo).
//
// Every edit of a track, block, turnout, signal, output or input is appended as one entry holding the whole
// record (and for a change also the record before it), so that replaying needs no knowledge of the
// operation. Entry, all integers little-endian:
//   0 "#**#" | 4 action 't' added, 'w' changed, 'v' deleted | 5 kind letter | 6 int16 index
//   8 int16 second index ('w': the index before the change, else 0) | 10 the second index again
//   12 int32 layout offset x | 16 int32 layout offset y | 20 the record (S bytes, element_kind_info.h)
//   ['w': the record before the change, S bytes] | a copy of bytes 0..19, so that undo can read backwards.
// The file holds the done entries up to gJournalEnd and, after it, the undone ones that can be redone.
//
// Records are stored as their layout-file images, with links as table indexes. Replaying keeps the tables
// exactly as they were at each point of the journal only while every change of a journalled table goes
// through the journal: an edit that changes such a table unjournalled (deleting a turntable with its bridge
// track) must empty the journal after it (emptyEditJournal).
#include <cstdint>

#include "layout/model/layout_model.h"

constexpr const char* kEditJournalFile = "temp.tmp";
constexpr int kJournalHeaderSize = 20;

// Length of the valid part: the end of the last done entry.
extern int32_t gJournalEnd;

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

// 0 undo, 1 redo, 2 or more empty the journal. Returns the length of the entry walked, 0 when nothing was
// done (nothing to undo or redo, a damaged entry, an index outside its table).
int journalUndoRedo(int direction);
// Cuts the file to length and makes that gJournalEnd; 1 done. A file that cannot be opened leaves gJournalEnd;
// one that cannot be cut sets it to 0.
int journalTruncate(int32_t length);
// Empties the journal (journalUndoRedo(2)): after loading, clearing, saving, rescaling, re-sorting the blocks
// and after every unjournalled change of a journalled table.
void emptyEditJournal();
// Deletes the file, when the main window closes: nothing of the journal survives the program.
void deleteEditJournal();

// The interactive move of the whole layout shifts the stored coordinates themselves (gLayoutOffset stays),
// so the journal counts that shift into the offset it stores with each entry: a record journalled before
// such a move then comes back where the layout now is, as it does after scrolling.
void journalNoteLayoutMove(int32_t dx, int32_t dy);
