#pragma once
// What the executor keeps for one program during one tick.
#include <cstdint>

struct LocoRec;
struct StepProgramRec;
struct StepRec;
struct WagonRec;

struct StepRunState {
    StepProgramRec* program = nullptr;
    int index = 0;                  // its table index, which names it to peers
    LocoRec* working = nullptr;     // the locomotive the actions work on
    WagonRec* foundWagon = nullptr; // set by the position conditions and the wagon search
};

// The condition stack of a run of logic steps: six levels, each a value and an operator.
constexpr int kConditionLevels = 6;
enum : char { kOperatorNone = 0, kOperatorAnd = 'E', kOperatorOr = 'O' };
struct StepConditionStack {
    int level = 0;
    bool value[kConditionLevels] = {};
    char op[kConditionLevels] = {};
};

// Closes one level: the level below takes the closed level's value through its operator.
void combineStepCondition(StepConditionStack& stack);
// Applies logic action code 27..34 with the step's condition c.
void applyLogicStep(StepConditionStack& stack, int actionCode, bool c);

// The step's condition (binding locomotives and finding wagons on the way, see the condition table).
bool evaluateStepCondition(StepRunState& run, const StepRec& step);
// Carries out the step's action; false when it was skipped because it needs a locomotive and there is none.
bool performStepAction(StepRunState& run, const StepRec& step);
