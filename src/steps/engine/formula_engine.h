#pragma once
// The formula engine of the step programs.
#include "steps/model/formula_vars.h"
