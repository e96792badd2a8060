#include "steps/model/formula_vars.h"

float gFormulaVars[kFormulaVars] = {};
