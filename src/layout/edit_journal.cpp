#include "layout/edit_journal.h"

void emptyEditJournal() {}
int journalUndoRedo(int) { return 0; }
