#include "layout/editor/entry_handoff.h"

#include "layout/model/block_geometry.h"
#include "layout/editor/edit_journal.h"
#include "layout/editor/editor_state.h"
#include "layout/draw/element_draw.h"
#include "layout/editor/entry_aids.h"
#include "layout/editor/entry_state.h"
#include "layout/model/double_turnouts.h"
#include "layout/model/geometry.h"
#include "layout/editor/point_entry.h"
#include "layout/editor/section_numbers.h"
#include "layout/editor/track_entry.h"
#include "shell/model/app_state.h"
#include "steps/model/step_program.h"

namespace {

bool waitsForDialog(bool inserting, const void* entered) {
    return inserting && entered && gEditMode == kEditCommitted;
}

// Drawn for good (also on the back buffer), with the crosshair taken away around it.
template <class Draw>
void drawStored(Draw draw) {
    eraseEntryCrosshair();
    setRubberBands(nullptr, 0);
    draw();
    showEntryCrosshair();
}

template <class Rec, int N>
Rec* store(RecordTable<Rec, N>& table, std::unique_ptr<Rec>& entered, uint8_t dirty) {
    Rec* rec = table.append(std::move(entered));
    gEditMode = kEditNew;
    gDirtyFlags |= dirty;
    journalRecordEdit('t', rec, static_cast<const Rec*>(nullptr), table.indexOf(rec), 0);
    return rec;
}

}  // namespace

bool newElementEntered(int code) {
    switch (code) {
    case 402: return gInsertingBlock && gEntered.block;
    case 403: return gInsertingTurnout && gEntered.turnout;
    case 404: return gInsertingSignal && gEntered.signal;
    case 405: return gInsertingOutput && gEntered.output;
    case 406: return gInsertingInput && gEntered.input;
    case 408: return gInsertingStepBox && gEntered.stepProgram;
    default: return false;
    }
}

BlockRec* storeNewBlock() {
    if (!waitsForDialog(gInsertingBlock, gEntered.block.get())) return nullptr;
    BlockRec& b = *gEntered.block;
    nextFreeSectionNumber(0, 0);
    b.arrivedTrain = b.assignedTrain = nullptr;
    b.hAspect = b.tAspect = 'G';
    b.remainingWait = 0;
    b.occupiedSections = 0;
    b.state = 0;
    drawStored([&] { drawBlock(b, 0, 1); });
    BlockRec* stored = store(gBlocks, gEntered.block, 1);
    normalizeBlockSections(*stored);
    return stored;
}

TurnoutRec* storeNewTurnout() {
    if (!waitsForDialog(gInsertingTurnout, gEntered.turnout.get())) return nullptr;
    TurnoutRec& t = *gEntered.turnout;
    t.holder = nullptr;
    layoutTurnout(t, gJoinPoint, gMovePointIndex);
    drawStored([&] { drawTurnout(t, 0, 1); });
    // A linked member of a double turnout joins the trailing zone, any other stands in front of it; it
    // is journalled at the place it takes.
    const int index = t.partner != 0 ? gTurnoutCount : doubleTurnoutZoneStart();
    TurnoutRec* stored = gTurnouts.insert(index, std::move(gEntered.turnout));
    if (!stored) return nullptr;
    relinkDoubleTurnouts();
    gEditMode = kEditNew;
    gDirtyFlags |= 1;
    journalRecordEdit('t', stored, static_cast<const TurnoutRec*>(nullptr), gTurnouts.indexOf(stored), 0);
    return stored;
}

SignalRec* storeNewSignal() {
    if (!waitsForDialog(gInsertingSignal, gEntered.signal.get())) return nullptr;
    SignalRec& s = *gEntered.signal;
    s.block = gSignalBlock;
    s.angle = gSignalAngle;
    s.direction = gSignalDirection;
    layoutSignal(s, s.outline[0]);
    drawStored([&] { drawSignal(s, 0, 1); });
    return store(gSignals, gEntered.signal, 2);
}

OutputRec* storeNewOutput() {
    if (!waitsForDialog(gInsertingOutput, gEntered.output.get())) return nullptr;
    OutputRec& o = *gEntered.output;
    layoutOutput(o, o.outline[0]);
    drawStored([&] { drawOutput(o, 0, 1); });
    return store(gOutputs, gEntered.output, 2);
}

InputRec* storeNewInput() {
    if (!waitsForDialog(gInsertingInput, gEntered.input.get())) return nullptr;
    InputRec& i = *gEntered.input;
    layoutInput(i, i.anchor);
    drawStored([&] { drawInput(i, 0, 1); });
    return store(gInputs, gEntered.input, 2);
}

StepProgramRec* storeNewStepProgram() {
    if (!waitsForDialog(gInsertingStepBox, gEntered.stepProgram.get())) return nullptr;
    StepProgramRec& p = *gEntered.stepProgram;
    drawStored([&] { drawStepBox(p, 0, 1); });
    StepProgramRec* stored = gStepPrograms.append(std::move(gEntered.stepProgram));
    gEditMode = kEditNew;
    return stored;
}
