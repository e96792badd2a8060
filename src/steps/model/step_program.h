#pragma once
// Step programs: the program records with their diagram boxes, and the one step table all programs share.
// The records are a file and network format as well (step_codec.h); fields are in stored order.
#include <cstdint>
#include <string>

#include "layout/model/record_table.h"

struct LocoRec;

struct StepBoxRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// One step program with its box on the diagram (56 bytes stored).
struct StepProgramRec {
    std::string name;            // at most 20 characters, "program XX" when new
    uint8_t number = 0;          // table index, written at session start; network records name programs by it
    uint8_t stepCount = 0;       // 0..255
    uint8_t currentStep = 0;     // run-time: 1-based step being executed, 0 not started
    uint8_t state = 0;           // run-time: 0 stopped, 1 running, 2 paused
    uint8_t counter = 0;         // wraps modulo 256
    int16_t firstStep = 0;       // index in gSteps of the program's first step
    int16_t waitLeft = 0;        // run-time: seconds left of the current action step
    StepBoxRect box;             // left/top is the anchor
    int32_t nextSecond = 0;      // run-time: gMsTick at which the wait counter next goes down
    LocoRec* boundLoco = nullptr;  // run-time
};

// One step (10 bytes stored).
struct StepRec {
    int16_t conditionValue = 0;
    int16_t actionValue = 0;
    int16_t time = 0;            // seconds 0..999
    int16_t resolvedTarget = -1; // run-time: table index of the condition's object, -1 none
    uint8_t conditionCode = 0;
    uint8_t actionCode = 0;
};

// One formula of three operands, a comparison and an operation (40 bytes stored). Formula number n
// (1..50) lies in slot n-1 of gFormulas and its position field holds n-1.
struct FormulaRec {
    uint8_t position = 0;        // n - 1
    uint8_t flags = 0;           // kFormulaCondition, kFormulaOutcome
    uint8_t types[3] = {};       // operand types of A, B, C: 0..7
    uint8_t comparison = 0;      // 0..5
    uint8_t operation = 0;       // 0..9
    float entered[3] = {};       // the values typed for A, B, C (a constant or a variable number)
    float current[3] = {};       // operand values of the last evaluation
    float result = 0;            // result of the last evaluation
};

// The highest operand type, comparison and operation: they index the formula engine's tables.
constexpr int kMaxFormulaOperandType = 7;
constexpr int kMaxFormulaComparison = 5;
constexpr int kMaxFormulaOperation = 9;

constexpr uint8_t kFormulaCondition = 0x01;  // belongs to a condition (else to an action)
constexpr uint8_t kFormulaOutcome = 0x02;    // the last outcome

constexpr int kStepProgramRecSize = 56;
constexpr int kStepRecSize = 10;
constexpr int kFormulaRecSize = 40;
constexpr int kStepProgramNameMax = 20;
constexpr int kMaxStepsPerProgram = 255;
constexpr int kMaxStepPrograms = 50;
constexpr int kMaxSteps = 500;
constexpr int kMaxFormulas = 50;

// Program p owns the contiguous run [firstStep, firstStep + stepCount) of gSteps; the runs together cover
// the whole step table.
extern RecordTable<StepProgramRec, kMaxStepPrograms> gStepPrograms;
extern RecordTable<StepRec, kMaxSteps> gSteps;
// Formula n in slot n-1; removing one moves the later ones down and renumbers their position fields.
extern RecordTable<FormulaRec, kMaxFormulas> gFormulas;
inline const int& gStepProgramCount = gStepPrograms.countRef();
inline const int& gStepCount = gSteps.countRef();
inline const int& gFormulaCount = gFormulas.countRef();

// The step of a program at a 1-based position, null outside 1..step count or outside the step table.
StepRec* programStep(const StepProgramRec& p, int position);
// The program's index in gStepPrograms, -1 when it is not there.
int stepProgramIndex(const StepProgramRec* p);
// After `delta` steps were inserted (delta > 0) or removed (delta < 0) at gSteps slot `slot` for `program`:
// every other program whose first step is at or behind the slot (inserting) or behind it (removing) moves
// by delta. With removeFlag the program itself leaves gStepPrograms (and is freed). Returns the number of
// programs visited.
int shiftStepRanges(StepProgramRec* program, int delta, int removeFlag, int slot);
// No program keeps the locomotive as its bound locomotive any more (null: none keeps any); called before a
// locomotive record is freed.
void forgetStepProgramLoco(const LocoRec* loco);
// The highest contact number that a step condition on a contact (condition codes 1 and 2) names, 0 none.
int highestStepConditionContact();
