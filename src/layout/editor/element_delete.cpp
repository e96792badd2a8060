#include "layout/editor/element_delete.h"

#include "layout/model/double_turnouts.h"
#include "layout/editor/edit_journal.h"
#include "layout/draw/element_draw.h"
#include "layout/model/layout_model.h"
#include "shell/model/app_state.h"
#include "shell/window/status_line.h"

namespace {

constexpr uint8_t kStructureChanged = 1;
constexpr uint8_t kPropertiesChanged = 2;

// Links to a record that is about to be freed.
void detach(const TrackRec* t) {
    for (TurntableRec* d : gTurntables)
        if (d->track == t) d->track = nullptr;
}

void detach(const BlockRec* b) {
    for (SignalRec* s : gSignals)
        if (s->block == b) s->block = nullptr;
    for (ConnectionRec* c : gConnections) {
        if (c->from == b) c->from = nullptr;
        if (c->to == b) c->to = nullptr;
    }
}

void detach(const TurnoutRec* t) {
    for (ConnectionRec* c : gConnections)
        for (TurnoutRec*& w : c->turnouts)
            if (w == t) w = nullptr;
}

void detach(const SignalRec*) {}
void detach(const OutputRec*) {}
void detach(const InputRec*) {}

void erase(TrackRec& t) { drawTrack(t, 1, 1); }
void erase(BlockRec& b) { drawBlock(b, 1, 1); }
void erase(TurnoutRec& t) { drawTurnout(t, 1, 1); }
void erase(SignalRec& s) { drawSignal(s, 1, 1); }
void erase(OutputRec& o) { drawOutput(o, 1, 1); }
void erase(InputRec& i) { drawInput(i, 1, 1); }

void finishDeletion(uint8_t dirtyBit) {
    gDirtyFlags |= dirtyBit;
    gEditMode = 0;
    clearStatusLine();
}

template <class Rec, int Capacity>
bool deleteElement(RecordTable<Rec, Capacity>& table, int index, int journal, uint8_t dirtyBit) {
    Rec* rec = table[index];
    if (!rec) return false;
    if (journal) journalRecordEdit('v', rec, static_cast<const Rec*>(nullptr), index, 0);
    erase(*rec);
    detach(rec);
    table.removeAt(index);
    finishDeletion(dirtyBit);
    return true;
}

}  // namespace

void deleteTrack(int index, int journal) { deleteElement(gTracks, index, journal, kStructureChanged); }

void deleteBlock(int index, int journal) {
    const BlockRec* block = gBlocks[index];
    if (!block) return;
    if (journal) {
        for (int i = 0; i < gSignalCount;) {
            if (gSignals[i]->block == block)
                deleteSignal(i, 1);
            else
                ++i;
        }
    }
    deleteElement(gBlocks, index, journal, kStructureChanged);
}

void deleteTurnout(int index, int journal) {
    if (deleteElement(gTurnouts, index, journal, kStructureChanged)) relinkDoubleTurnouts();
}

void deleteSignal(int index, int journal) { deleteElement(gSignals, index, journal, kPropertiesChanged); }
void deleteOutput(int index, int journal) { deleteElement(gOutputs, index, journal, kPropertiesChanged); }
void deleteInput(int index, int journal) { deleteElement(gInputs, index, journal, kPropertiesChanged); }

void deleteTurntable(int index, int withTrack) {
    TurntableRec* t = gTurntables[index];
    if (!t) return;
    drawTurntable(*t, 1, 1);
    if (withTrack && t->track) {
        deleteTrack(gTracks.indexOf(t->track), 0);
        emptyEditJournal();
    }
    gTurntables.removeAt(index);
    finishDeletion(kStructureChanged);
}
