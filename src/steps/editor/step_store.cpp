#include "steps/editor/step_store.h"

#include <memory>
#include <new>

#include "layout/editor/editor_state.h"
#include "network/model/net_queue.h"
#include "shell/config/messages.h"
#include "steps/dialogs/step_editor_link.h"
#include "steps/editor/step_boxes.h"
#include "steps/model/step_codes.h"
#include "steps/model/step_program.h"

namespace {

constexpr int kJumpAction = 1;

// Jump targets of the program's own steps at or after `position` move by delta.
void shiftJumpTargets(const StepProgramRec& p, int position, int delta) {
    for (int k = 1; k <= p.stepCount; ++k) {
        StepRec* s = programStep(p, k);
        if (s && s->actionCode == kJumpAction && s->actionValue >= position)
            s->actionValue = static_cast<int16_t>(s->actionValue + delta);
    }
}

template <class Rec>
std::unique_ptr<Rec> allocate(const Rec& from) {
    std::unique_ptr<Rec> r(new (std::nothrow) Rec(from));
    if (!r) fatalOutOfMemory();
    return r;
}

int insertStep(StepProgramRec* p, int position) {
    if (position < 1 || position > p->stepCount + 1) return 0;
    if (gStepCount >= kMaxSteps || p->stepCount >= kMaxStepsPerProgram) {
        showDialogMessage("Het maximaal aantal stappen is bereikt", 1);
        return 0;
    }
    const int slot = p->firstStep + position - 1;
    if (slot < 0 || slot > gStepCount) return 0;  // a program whose run lies outside the table
    std::unique_ptr<StepRec> step = allocate(StepRec{});
    if (!step) return 0;
    shiftJumpTargets(*p, position, +1);
    gSteps.insert(slot, std::move(step));
    ++p->stepCount;
    shiftStepRanges(p, +1, 0, slot);
    if (stepEditorShows(p)) fillStepGrid();
    netQueueRecord(30, 14, 0, 0, p->number, position);
    return 1;
}

int deleteStep(StepProgramRec* p, int position) {
    if (position < 1 || position > p->stepCount) return 0;
    const int slot = p->firstStep + position - 1;
    if (slot < 0 || slot >= gStepCount) return 0;
    gSteps.removeAt(slot);
    --p->stepCount;
    shiftJumpTargets(*p, position, -1);
    shiftStepRanges(p, -1, 0, slot);
    if (stepEditorShows(p)) {
        clearStepRow(p->stepCount + 1);
        clearStepRow(p->stepCount + 2);
        fillStepGrid();
    }
    netQueueRecord(30, 14, 42, 42, p->number, position);
    return 1;
}

}  // namespace

int insertOrDeleteStep(StepProgramRec* program, int position, int deleteFlag) {
    if (!program) return 0;
    return deleteFlag ? deleteStep(program, position) : insertStep(program, position);
}

void deleteStepProgram(StepProgramRec* program) {
    if (stepProgramIndex(program) < 0) return;
    const int first = program->firstStep;
    const int count = program->stepCount;
    for (int k = 0; k < count; ++k) gSteps.removeAt(first);
    if (gCurStepBox == program) gCurStepBox = nullptr;
    shiftStepRanges(program, -count, 1, first);
}

int duplicateStepProgram(StepProgramRec* program) {
    if (!program) return 0;
    if (gStepProgramCount >= kMaxStepPrograms || program->stepCount + gStepCount >= kMaxSteps) {
        showDialogMessage("Maximum wordt overschreden", 1);
        return 0;
    }
    StepProgramRec copy;
    copy.name = program->name;
    copy.number = static_cast<uint8_t>(gStepProgramCount);
    copy.firstStep = static_cast<int16_t>(gStepCount);
    copy.stepCount = program->stepCount;
    layoutStepBox(copy, {10, 10});
    std::unique_ptr<StepProgramRec> record = allocate(copy);
    if (!record) return 0;
    const int first = program->firstStep;
    StepProgramRec* added = gStepPrograms.append(std::move(record));
    for (int k = 0; k < copy.stepCount; ++k) gSteps.append(allocate(*gSteps[first + k]));
    gCurStepBox = added;
    refreshStepEditor();
    return 1;
}
