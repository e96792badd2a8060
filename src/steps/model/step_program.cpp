#include "steps/model/step_program.h"

#include <algorithm>

RecordTable<StepProgramRec, kMaxStepPrograms> gStepPrograms;
RecordTable<StepRec, kMaxSteps> gSteps;
RecordTable<FormulaRec, kMaxFormulas> gFormulas;

StepRec* programStep(const StepProgramRec& p, int position) {
    if (position < 1 || position > p.stepCount) return nullptr;
    return gSteps[p.firstStep + position - 1];
}

int stepProgramIndex(const StepProgramRec* p) { return gStepPrograms.indexOf(p); }

int shiftStepRanges(StepProgramRec* program, int delta, int removeFlag, int slot) {
    int visited = 0;
    for (StepProgramRec* p : gStepPrograms) {
        ++visited;
        if (p == program) continue;
        if (delta > 0 && p->firstStep >= slot) p->firstStep = static_cast<int16_t>(p->firstStep + delta);
        if (delta < 0 && p->firstStep > slot) p->firstStep = static_cast<int16_t>(std::max(slot, p->firstStep + delta));
    }
    if (removeFlag) gStepPrograms.removeAt(gStepPrograms.indexOf(program));
    return visited;
}

void forgetStepProgramLoco(const LocoRec* loco) {
    for (StepProgramRec* p : gStepPrograms)
        if (!loco || p->boundLoco == loco) p->boundLoco = nullptr;
}

int highestStepConditionContact() {
    int highest = 0;
    for (const StepRec* s : gSteps)
        if (s->conditionCode == 1 || s->conditionCode == 2) highest = std::max<int>(highest, s->conditionValue);
    return highest;
}
