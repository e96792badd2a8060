#include "operation/model/train_model.h"

#include "steps/model/step_program.h"

RecordRefs<LocoRec, kMaxLocsOnTrack> gLocsOnTrack;
RecordRefs<LocoRec, kMaxHelperLocs> gHelperLocs;
RecordTable<WagonRec, kMaxWagons> gWagons;
RecordTable<LocoRec, kMaxLocs> gLocs;
RecordTable<FunctionDecoderRec, kMaxFunctionDecoders> gFunctionDecoders;
WagonCounts gWagonCounts;
LocoRec* gProgLoco = nullptr;
FunctionDecoderRec* gProgFunctionDecoder = nullptr;

namespace {
constexpr int kRangeCapacity[6] = {500, 20, 5, 200, 200, 200};
}

RunTableSlot runTableSlot(int slot) {
    if (slot < 0 || slot >= kRunTableSize) return {};
    int r = 5;
    while (slot < kRunTableBase[r]) --r;
    return {static_cast<RunRange>(r), slot - kRunTableBase[r]};
}

int runTableSlotNumber(RunRange range, int index) {
    const int r = static_cast<int>(range);
    if (r < 0 || r > 5 || index < 0 || index >= kRangeCapacity[r]) return -1;
    return kRunTableBase[r] + index;
}

int speedTableEntry(const LocoRec& loco, int step) {
    const int steps = loco.run.speedSteps;
    if (steps <= 0 || step <= 0) return loco.speedTable[0];
    return loco.speedTable[std::min(step * 126 / steps, kSpeedTableSize - 1)];
}

LocoRec* findLocoByNumber(int number) {
    for (LocoRec* l : gLocs)
        if (l->number == number) return l;
    return nullptr;
}

void repairContactRole(LocoRec& loco) {
    if (loco.contactRole < 1 || loco.contactRole > 6) loco.contactRole = loco.heading == 'H' ? 6 : 1;
}

bool locoStandsOnTrack(const LocoRec* loco) {
    return loco && gLocsOnTrack.indexOf(loco) >= 0 && onTrack(loco->run.head);
}

std::vector<WagonRec*> chainWagons(WagonRec* first) {
    std::vector<WagonRec*> out;
    for (WagonRec* w = first; w && static_cast<int>(out.size()) < kMaxWagons; w = w->next) out.push_back(w);
    return out;
}

void relinkWagonChains() {
    int pos = gWagonCounts.loose;
    for (LocoRec* loco : gLocs) {
        for (WagonRec* first : {loco->frontChain, loco->rearChain}) {
            WagonRec* previous = nullptr;
            for (WagonRec* w = first; w; w = w->next) {
                const int i = gWagons.indexOf(w);
                if (i < pos) break;  // not a table wagon, or met twice: the chain is broken here
                w->previous = previous;
                w->owner = loco;
                gWagons.move(i, pos++);
                previous = w;
            }
        }
    }
    gWagonCounts.coupledEnd = pos;
}

void clearTrainTables() {
    for (BlockRec* b : gBlocks) b->arrivedTrain = b->assignedTrain = nullptr;
    for (TurnoutRec* t : gTurnouts) t->holder = nullptr;
    for (TrackRec* t : gTracks) t->locoOnIt = 0;
    for (TurntableRec* t : gTurntables) t->loco = nullptr;
    for (FunctionDecoderRec* d : gFunctionDecoders) d->loco = nullptr;
    forgetStepProgramLoco(nullptr);
    gProgLoco = nullptr;
    gLocsOnTrack.clear();
    gHelperLocs.clear();
    gLocs.clear();
    gWagons.clear();
    gWagonCounts = {};
}
