// Step conditions: what each condition code tests, and the condition stack of the logic steps.
#include <algorithm>

#include "link/buffers/link_buffers.h"
#include "operation/engine/wagon_coupling.h"
#include "operation/model/train_model.h"
#include "shell/model/input_state.h"
#include "steps/engine/formula_engine.h"
#include "steps/engine/step_executor.h"
#include "steps/engine/step_run_state.h"
#include "steps/model/step_codes.h"
#include "steps/model/step_program.h"

namespace {

// The objects a resolved target names, checked against their tables when used.
OutputRec* targetOutput(const StepRec& s) { return s.resolvedTarget >= 0 ? gOutputs[s.resolvedTarget] : nullptr; }
BlockRec* targetBlock(const StepRec& s) { return s.resolvedTarget >= 0 ? gBlocks[s.resolvedTarget] : nullptr; }
LocoRec* targetLoco(const StepRec& s) { return s.resolvedTarget >= 0 ? gLocs[s.resolvedTarget] : nullptr; }

// Conditions 3 and 4: the output, turnout or signal is 'R' (a signal also when forced red).
int accessoryIsRed(const StepRec& s) {
    const int t = s.resolvedTarget;
    if (t >= kSignalTargetBase) {
        const SignalRec* sig = gSignals[t - kSignalTargetBase];
        return sig ? (sig->aspect == 'R' || sig->aspect == 'S') : -1;
    }
    if (t >= kTurnoutTargetBase) {
        const TurnoutRec* tu = gTurnouts[t - kTurnoutTargetBase];
        return tu ? tu->position == 'R' : -1;
    }
    const OutputRec* o = targetOutput(s);
    return o ? o->state == 'R' : -1;
}

// Conditions 17..20: a vehicle of a train on the track stands at the output's third outline point.
bool vehicleAtOutput(StepRunState& run, const OutputRec& output) {
    const DiagramPoint saved = gMousePoint;
    gMousePoint = output.outline[2];
    bool found = false;
    for (LocoRec* loco : gLocsOnTrack) {
        WagonHit hit;
        hit.loco = loco;
        if (pickWagonAt(hit, 3)) {
            if (hit.loco) run.program->boundLoco = hit.loco;
            run.foundWagon = hit.wagon;
            found = true;
            break;
        }
    }
    gMousePoint = saved;
    return found;
}

bool blockHasContact(const BlockRec& b, int contact) {
    const int sections = std::clamp<int>(b.sections, 0, kMaxSections);
    for (int s = 1; s <= sections; ++s)
        if (b.sectionInputs[s] == contact) return true;
    return false;
}

// A true condition on a contact or a block binds the train standing there.
void bindLoco(StepRunState& run, const StepRec& s) {
    StepProgramRec& p = *run.program;
    LocoRec* train = nullptr;
    if (s.conditionCode == 1) {
        const auto b = std::find_if(gBlocks.begin(), gBlocks.end(),
                                    [&](const BlockRec* b) { return blockHasContact(*b, s.conditionValue); });
        if (b != gBlocks.end()) train = (*b)->assignedTrain;
    } else if (const BlockRec* b = targetBlock(s)) {
        if (s.conditionCode == 5) train = b->arrivedTrain;
        if (s.conditionCode == 7) train = b->assignedTrain;
    }
    if (train) p.boundLoco = train;
    run.working = p.boundLoco;
}

bool testCondition(StepRunState& run, const StepRec& s) {
    StepProgramRec& p = *run.program;
    const LocoRec* bound = p.boundLoco;
    const int v = s.conditionValue;
    const StepNeeds needs = s.conditionCode < kConditionCodes ? kConditionTable[s.conditionCode].needs : StepNeeds::Nothing;
    if (needs == StepNeeds::Target && s.resolvedTarget < 0) return false;
    if (needs == StepNeeds::Loco && !bound) return false;
    switch (s.conditionCode) {
    case 0: return s.time == 0;
    case 1: return gFeedbackImage.contactBit(v) != 0;
    case 2: return gFeedbackImage.contactBit(v) == 0;
    case 3: return accessoryIsRed(s) == 1;
    case 4: return accessoryIsRed(s) == 0;
    case 5: return targetBlock(s) && targetBlock(s)->arrivedTrain;
    case 6: return targetBlock(s) && !targetBlock(s)->arrivedTrain;
    case 7: return targetBlock(s) && targetBlock(s)->assignedTrain;
    case 8: return targetBlock(s) && !targetBlock(s)->assignedTrain;
    case 9: return targetLoco(s) && bound == targetLoco(s);
    case 10: return targetLoco(s) && bound != targetLoco(s);
    case 11: return bound->speedValue >= v;
    case 12: return bound->speedValue <= v;
    case 13: return bound->heading == 'H';
    case 14: return bound->heading == 'T';
    case 15: return bound->direction == 'v';
    case 16: return bound->direction == 'a';
    case 17:
    case 19: return targetOutput(s) && gLocsOnTrackCount > 0 && vehicleAtOutput(run, *targetOutput(s));
    case 18:
    case 20: return targetOutput(s) && (gLocsOnTrackCount == 0 || !vehicleAtOutput(run, *targetOutput(s)));
    case 21: return gFunctionDecoders[s.resolvedTarget] != nullptr;
    case 22: return p.counter >= v;
    case 23: return p.counter <= v;
    case 24: return evaluateFormula(&p, v, 0) == 1;
    default: return false;
    }
}

}  // namespace

bool evaluateStepCondition(StepRunState& run, const StepRec& step) {
    const bool c = testCondition(run, step);
    if (c && step.conditionValue != 0) bindLoco(run, step);
    return c;
}

void combineStepCondition(StepConditionStack& st) {
    if (st.level > 0) --st.level;
    const int l = st.level;
    const bool upper = st.value[std::min(l + 1, kConditionLevels - 1)];
    if (st.op[l] == kOperatorAnd) st.value[l] = st.value[l] && upper;
    else if (st.op[l] == kOperatorOr) st.value[l] = st.value[l] || upper;
    else st.value[l] = upper;
}

void applyLogicStep(StepConditionStack& st, int actionCode, bool c) {
    auto open = [&] {
        st.level = std::min(st.level + 1, kConditionLevels - 1);
        st.value[st.level] = c;
        st.op[st.level] = kOperatorNone;
    };
    switch (actionCode) {
    case 27: open(); break;
    case 28: st.op[st.level] = kOperatorAnd; open(); break;
    case 29: st.op[st.level] = kOperatorOr; open(); break;
    case 30: combineStepCondition(st); break;
    case 31: st.value[st.level] = st.value[st.level] && c; combineStepCondition(st); break;
    case 32: st.value[st.level] = st.value[st.level] || c; combineStepCondition(st); break;
    case 33: st.value[st.level] = st.value[st.level] && c; break;
    case 34: st.value[st.level] = st.value[st.level] || c; break;
    default: break;
    }
}
