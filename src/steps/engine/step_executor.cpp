#include "steps/engine/step_executor.h"

#include "layout/draw/element_draw.h"
#include "network/model/net_queue.h"
#include "operation/model/train_model.h"
#include "shell/model/app_state.h"
#include "steps/dialogs/step_editor_link.h"
#include "steps/draw/step_number.h"
#include "steps/engine/step_run_state.h"
#include "steps/model/step_codes.h"
#include "steps/model/step_program.h"

uint8_t gStepSkipTicks = 0;

namespace {

constexpr int kJumpAction = 1;

template <class Rec, int N, class Match>
int firstIndex(const RecordTable<Rec, N>& table, Match match) {
    for (int i = 0; i < table.count(); ++i)
        if (match(*table[i])) return i;
    return -1;
}

int accessoryTarget(int number) {
    const int output = firstIndex(gOutputs, [&](const OutputRec& o) { return o.key / 2 == number; });
    if (output >= 0) return output;
    const int turnout = firstIndex(gTurnouts, [&](const TurnoutRec& t) { return t.number == number; });
    if (turnout >= 0) return kTurnoutTargetBase + turnout;
    const int signal = firstIndex(gSignals, [&](const SignalRec& s) { return s.number == number; });
    return signal >= 0 ? kSignalTargetBase + signal : -1;
}

// The run of the current step: the logic steps up to the first action step, within the program.
struct Run {
    int logicSteps = 0;
    StepRec* action = nullptr;  // null when only logic steps follow to the program's end
};

Run findRun(const StepProgramRec& p) {
    Run run;
    for (int k = p.currentStep; k <= p.stepCount; ++k) {
        StepRec* s = programStep(p, k);
        if (!s) break;
        if (!isLogicAction(s->actionCode)) {
            run.action = s;
            return run;
        }
        ++run.logicSteps;
    }
    return run;
}

void countDownWait(StepProgramRec& p, int index) {
    if (p.waitLeft == 0 || msBetween(gMsTick, static_cast<uint32_t>(p.nextSecond)) <= 0) return;
    p.nextSecond = static_cast<int32_t>(static_cast<uint32_t>(p.nextSecond) + 1000);  // wraps with gMsTick
    --p.waitLeft;
    if (stepEditorShows(&p)) showStepEditorWaitLeft(&p);
    netQueueRecord(30, 14, 19, 19, index, p.waitLeft);
}

// The outcome of the run's conditions: the current step's alone when it is the action step, else what the
// logic steps leave on the condition stack (the action step's own condition is then not used).
bool evaluateRun(StepRunState& run, int logicSteps) {
    StepProgramRec& p = *run.program;
    StepConditionStack stack;
    run.working = p.boundLoco;
    for (int k = 0; k <= logicSteps; ++k) {
        const StepRec* s = programStep(p, p.currentStep + k);
        if (!s) return false;
        const bool c = evaluateStepCondition(run, *s);
        if (logicSteps == 0) return c;
        applyLogicStep(stack, s->actionCode, c);
        if (k + 1 == logicSteps) break;
    }
    return stack.value[stack.level];
}

// After the action (or its skip): the next step, wrapping after the last to step 1.
void advance(StepProgramRec& p, int index, int next) {
    p.currentStep = static_cast<uint8_t>(next > p.stepCount || next < 1 ? 1 : next);
    startStepWait(&p);
    drawStepNumber(&p);
    if (stepEditorShows(&p)) refreshStepEditor();
    // The clients show the new step's whole wait at once, not only from its first second down.
    netQueueRecord(30, 14, 19, 19, index, p.waitLeft);
    netQueueRecord(30, 14, 15, 15, index, p.currentStep);
}

void resolveAll(const StepProgramRec& p) {
    for (int k = p.stepCount; k >= 1; --k) resolveStepConditionTarget(programStep(p, k));
}

void runProgram(StepProgramRec& p, int index) {
    if (p.stepCount == 0) return;
    if (p.currentStep > p.stepCount) p.currentStep = 0;  // its step was deleted, or a peer sent a wrong one
    if (p.currentStep == 0) {
        p.currentStep = 1;
        startStepWait(&p);
        resolveAll(p);
    }
    countDownWait(p, index);
    const Run r = findRun(p);
    if (!r.action) {  // nothing to perform before the program's end: start again
        advance(p, index, 1);
        return;
    }
    StepRunState run{&p, index, p.boundLoco, nullptr};
    const StepRec& action = *r.action;
    const bool timeUp = action.time != 0 && p.waitLeft == 0;
    bool outcome = false;
    int step = p.currentStep;
    if (timeUp) step += r.logicSteps;
    else if ((outcome = evaluateRun(run, r.logicSteps))) step += r.logicSteps;
    if (action.actionCode == kJumpAction) {
        if (outcome || (timeUp && action.conditionCode == 0 && r.logicSteps == 0)) {
            if (action.actionValue > 0) step = action.actionValue - 1;
        } else if (!timeUp && action.time == 0) {
            outcome = true;
            step += r.logicSteps;
        }
    }
    if (!outcome && !timeUp) return;
    const uint8_t counter = p.counter;
    if (performStepAction(run, action)) gStepSkipTicks = 3;
    if (p.counter != counter) netQueueRecord(30, 14, 20, 20, index, p.counter);
    advance(p, index, step + 1);
}

// A stopped program starts again from its first step. The moment its run state goes, its box, the open
// editor and the clients stop showing the step it was stopped at.
void resetStoppedProgram(StepProgramRec& p, int index) {
    const bool hadState = p.currentStep != 0 || p.waitLeft != 0 || p.counter != 0 || p.boundLoco;
    p.currentStep = 0;
    p.waitLeft = 0;
    p.counter = 0;
    p.nextSecond = 0;
    p.boundLoco = nullptr;
    if (!hadState) return;
    drawStepBox(p, 0, 1);
    if (stepEditorShows(&p)) refreshStepEditor();
    for (int code : {15, 19, 20}) netQueueRecord(30, 14, code, code, index, 0);
}

}  // namespace

void runStepPrograms() {
    if (gStepSkipTicks > 0) {
        --gStepSkipTicks;
        return;
    }
    for (int i = 0; i < gStepProgramCount; ++i) {
        StepProgramRec& p = *gStepPrograms[i];
        switch (p.state) {
        case 0: resetStoppedProgram(p, i); break;
        case 1: runProgram(p, i); break;
        case 2: p.nextSecond = static_cast<int32_t>(gMsTick + 1000); break;
        default: break;
        }
    }
}

void resolveStepConditionTarget(StepRec* step) {
    if (!step) return;
    const int v = step->conditionValue;
    int t = -1;
    switch (step->conditionCode) {
    case 3:
    case 4: t = accessoryTarget(v); break;
    case 5:
    case 6:
    case 7:
    case 8: t = firstIndex(gBlocks, [&](const BlockRec& b) { return b.number == v; }); break;
    case 9:
    case 10: t = firstIndex(gLocs, [&](const LocoRec& l) { return l.number == v; }); break;
    case 17:
    case 18: t = firstIndex(gOutputs, [&](const OutputRec& o) { return o.key == v * 2; }); break;
    case 19:
    case 20: t = firstIndex(gOutputs, [&](const OutputRec& o) { return o.key == v * 2 + 1; }); break;
    case 21: t = firstIndex(gFunctionDecoders, [&](const FunctionDecoderRec& d) { return d.address == v; }); break;
    default: break;
    }
    step->resolvedTarget = static_cast<int16_t>(t);
}

void startStepWait(StepProgramRec* p) {
    if (!p) return;
    const StepRec* action = findRun(*p).action;
    p->waitLeft = action ? action->time : 0;
    p->nextSecond = static_cast<int32_t>(gMsTick + 1000);
}
