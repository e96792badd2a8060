#pragma once
// The formula engine of the step programs.
constexpr int kFormulaVars = 50;
extern float gFormulaVars[kFormulaVars];  // "var" 1..50; the locomotive file carries them
