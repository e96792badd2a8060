// Step actions: what each action code does, with the operations the control post uses.
#include "link/buffers/link_buffers.h"
#include "operation/control/accessory_operation.h"
#include "operation/control/dialog_refresh.h"
#include "operation/control/loco_operation.h"
#include "operation/engine/wagon_coupling.h"
#include "operation/engine/contact_evaluation.h"
#include "operation/engine/train_placement.h"
#include "operation/model/train_model.h"
#include "shell/model/input_state.h"
#include "steps/engine/formula_engine.h"
#include "steps/engine/step_run_state.h"
#include "steps/model/step_codes.h"
#include "steps/model/step_program.h"

namespace {

constexpr int kModeCycle = 4;  // cycleLocoMode comes back to its start after four calls

template <class Rec, int N, class Match>
Rec* first(const RecordTable<Rec, N>& table, Match match) {
    for (Rec* r : table)
        if (match(*r)) return r;
    return nullptr;
}

InputRec* inputNumbered(int number) {
    return first(gInputs, [&](const InputRec& i) { return i.number == number; });
}

// Actions 2 and 3: the output with that address and button, else a turnout, else a signal to change.
void switchAccessory(int number, bool green) {
    if (OutputRec* o = first(gOutputs, [&](const OutputRec& o) { return o.key / 2 == number && (o.key & 1) == green; })) {
        operateOutput(o);
    } else if (TurnoutRec* t = first(gTurnouts, [&](const TurnoutRec& t) {
                   return t.number == number && (t.position == 'R') == green;
               })) {
        toggleTurnout(t);
    } else if (SignalRec* s = first(gSignals, [&](const SignalRec& s) {
                   return s.number == number && (s.aspect == 'S') == green;
               })) {
        toggleSignalForcedRed(s);
    }
}

// Actions 5..7: cycle the mode until it is `mode`, stopping when a call is refused.
void cycleModeTo(LocoRec* loco, int mode) {
    for (int k = 0; k < kModeCycle && loco->mode != mode; ++k)
        if (!cycleLocoMode(loco)) return;
}

// Action 8: on to "Traject" unless the cycle comes back to "Rangeer" first.
void cycleToRoute(LocoRec* loco) {
    for (int k = 0; k < kModeCycle && loco->mode != kModeRoute; ++k)
        if (!cycleLocoMode(loco) || loco->mode == kModeShunting) return;
}

// Hit tests at a point of the layout: the mouse point stands there for the duration.
class MouseAt {
public:
    explicit MouseAt(DiagramPoint p) : saved_(gMousePoint) { gMousePoint = p; }
    ~MouseAt() { gMousePoint = saved_; }
    MouseAt(const MouseAt&) = delete;
    MouseAt& operator=(const MouseAt&) = delete;

private:
    DiagramPoint saved_;
};

// Actions 17 and 21: the wagon standing at the input of the step's contact condition.
void searchWagon(StepRunState& run, const StepRec& s) {
    if (run.foundWagon || (s.conditionCode != 1 && s.conditionCode != 2)) return;
    const InputRec* in = inputNumbered(s.conditionValue);
    WagonHit hit;
    bool found = false;
    if (in) {
        MouseAt at(in->anchor);
        found = pickWagonAt(hit, 1) != 0;
    }
    if (found && hit.loco) run.program->boundLoco = hit.loco;
    run.foundWagon = found ? hit.wagon : nullptr;
    run.working = run.program->boundLoco;
}

// The value-th wagon counted from the outermost wagon of the rear chain on into the front chain.
WagonRec* wagonCounted(const LocoRec& loco, int value) {
    int k = 0;
    for (WagonRec* chain : {loco.rearChain, loco.frontChain})
        for (WagonRec* w = chain; w && k < kMaxWagons; w = w->next)
            if (++k == value) return w;
    return nullptr;
}

void uncouple(StepRunState& run, const StepRec& s) {
    searchWagon(run, s);
    if (!run.working) return;
    if (s.actionValue > 0) uncoupleWagons(run.working, wagonCounted(*run.working, s.actionValue));
    else uncoupleWagons(run.working, run.foundWagon);
}

// Actions 18..20: move the train found at the contact's input so that the chosen vehicle end stands there.
void synchronise(StepRunState& run, const StepRec& s) {
    int contact = s.actionValue;
    if (contact == 0 && (s.conditionCode == 1 || s.conditionCode == 2)) contact = s.conditionValue;
    const InputRec* in = inputNumbered(contact);
    if (!in) return;
    MouseAt at(in->anchor);
    WagonHit hit;
    int mode = 4;
    if (pickTrainWagonAt(hit) && hit.loco) {
        run.program->boundLoco = hit.loco;
        mode = hit.code;
    }
    run.working = run.program->boundLoco;
    WagonRec* wagon = hit.wagon;
    if (s.actionCode != 18) {
        wagon = nullptr;
        mode = s.actionCode == 19 ? 2 : 3;
    }
    if (run.working) placeTrainOnConnection(run.working, wagon, mode);
}

void fillWagon(StepRunState& run, const StepRec& s) {
    searchWagon(run, s);
    if (!run.foundWagon) return;
    run.foundWagon->percent = static_cast<uint8_t>(s.actionValue);
    refreshWagonPercent(run.foundWagon);
}

void switchFunction(StepRunState& run, const StepRec& s, int on) {
    if (s.conditionCode == 21) {
        FunctionDecoderRec* d = first(gFunctionDecoders, [&](const FunctionDecoderRec& d) { return d.address == s.conditionValue; });
        setDecoderFunction(d, s.actionValue, on);
    } else if (run.working) {
        setLocoFunction(run.working, s.actionValue, on);
    }
}

void locoAction(LocoRec* loco, const StepRec& s) {
    switch (s.actionCode) {
    case 4: setLocoSpeedStep(loco, speedStepForSpeed(loco, s.actionValue)); break;
    case 5: cycleModeTo(loco, kModeShunting); break;
    case 6: cycleModeTo(loco, kModeManual); break;
    case 7: cycleModeTo(loco, kModeAuto); break;
    case 8: cycleToRoute(loco); break;
    case 9: reverseLoco(loco); break;
    case 10: if (loco->direction == 'a') reverseLoco(loco); break;
    case 11: if (loco->direction == 'v') reverseLoco(loco); break;
    case 15: loco->flags |= kLocoForceOnce; [[fallthrough]];
    case 14: if (!(loco->flags & kLocoForce)) toggleLocoForce(loco); break;
    case 16: if (loco->flags & kLocoForce) toggleLocoForce(loco); break;
    default: break;
    }
}

LocoRec* locoOnTrackNumbered(int number) {
    for (LocoRec* l : gLocsOnTrack)
        if (l->number == number) return l;
    return nullptr;
}

}  // namespace

bool performStepAction(StepRunState& run, const StepRec& s) {
    if (s.actionCode >= kActionCodes) return false;
    if (kActionTable[s.actionCode].needs == StepNeeds::Loco) {
        if (!run.working) return false;
        locoAction(run.working, s);
        return true;
    }
    StepProgramRec& p = *run.program;
    switch (s.actionCode) {
    case 2: switchAccessory(s.actionValue, false); break;
    case 3: switchAccessory(s.actionValue, true); break;
    case 12: switchFunction(run, s, 1); break;
    case 13: switchFunction(run, s, 0); break;
    case 17: uncouple(run, s); break;
    case 18:
    case 19:
    case 20: synchronise(run, s); break;
    case 21: fillWagon(run, s); break;
    case 22: p.boundLoco = locoOnTrackNumbered(s.actionValue); break;
    case 23: p.counter = static_cast<uint8_t>(s.actionValue); break;
    case 24: p.counter = static_cast<uint8_t>(p.counter + s.actionValue); break;
    case 25: p.counter = static_cast<uint8_t>(p.counter - s.actionValue); break;
    case 26: evaluateFormula(&p, s.actionValue, 1); break;
    default: break;  // 0 nothing; 1 the jump is the executor's; logic steps are never performed
    }
    return true;
}
