#include "layout/edit_journal.h"

void emptyEditJournal() {}
