#pragma once
// The condition and action codes of a step: the label the editor lists, the range the editor clamps a
// value to, and what the executor needs before it evaluates or performs the code.
#include <cstdint>

constexpr int kConditionCodes = 25;  // 0..24
constexpr int kActionCodes = 35;     // 0..34

// Value ranges beyond plain numbers.
constexpr int kValueFormula = -1;    // a formula number, kept as entered
constexpr int kValueStepCount = -2;  // a step of the program: at most its step count

enum class StepNeeds : uint8_t {
    Nothing,     // always evaluated / performed
    Loco,        // a bound (condition) or working (action) locomotive
    Target,      // a resolved condition target
};

struct StepCodeInfo {
    const char* label;  // 8-bit Windows text
    int maxValue;       // 0..maxValue, or kValueFormula / kValueStepCount
    StepNeeds needs;
};

extern const StepCodeInfo kConditionTable[kConditionCodes];
extern const StepCodeInfo kActionTable[kActionCodes];

// Logic steps (action codes 27..34) feed their conditions into the next action step's condition.
constexpr int kFirstLogicAction = 27;
inline bool isLogicAction(int code) { return code >= kFirstLogicAction && code < kActionCodes; }

// A typed value brought into the code's range (0 for codes without a value); formula numbers stay as they are.
int clampConditionValue(int code, int value);
int clampActionValue(int code, int value, int programStepCount);
