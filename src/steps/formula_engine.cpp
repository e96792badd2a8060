#include "steps/formula_engine.h"

float gFormulaVars[kFormulaVars] = {};
