#pragma once
// The formula engine of the step programs: a formula computes a result from operands B and C and either
// compares it with A (a condition formula) or assigns it to what A names (an action formula).
#include "steps/model/formula_vars.h"

struct StepProgramRec;

// Operand types.
enum FormulaOperand { kOperandConst, kOperandVar, kOperandLoco, kOperandSpeed, kOperandDistance,
                      kOperandCounter, kOperandWait, kOperandStep };

// Evaluates formula `number` (1..gFormulaCount) for the program; with perform an action formula also assigns
// its result. Returns the outcome 1 or 0, or -1 for a number outside the table.
int evaluateFormula(StepProgramRec* program, int number, int perform);
// The operand's value: a "var" first has its entered number brought into 1..50 (and stored back); the
// locomotive's properties read 0 without a bound locomotive, the program's fields 0 without a program.
float formulaOperandValue(int type, float& entered, const StepProgramRec* program);
