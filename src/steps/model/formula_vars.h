#pragma once
// The step programs' formula variables ("var" 1..50). The locomotive file carries them.
constexpr int kFormulaVars = 50;
extern float gFormulaVars[kFormulaVars];
