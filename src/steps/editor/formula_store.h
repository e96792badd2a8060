#pragma once
// Adding formulas to steps and removing them.

// For the step at gSteps index stepIndex: position = gFormulaCount appends a new formula (a condition
// formula with conditionFlag) and gives its number to the step's condition value (conditionFlag) or action
// value; a position 0..gFormulaCount-1 removes that formula, the step's value becomes 0 and every step
// naming a later formula follows the renumbering. Returns the formula's number (position + 1); 0 when
// refused: another position, no such step, or with "Maximum aantal formules bereikt !" at 50 formulas.
int addOrRemoveFormula(int stepIndex, int position, int conditionFlag);
