#pragma once
// Conversions between diagram units and centimetres of the real layout (through gCmPerUnit).
#include <cstdint>

int32_t fromCentimetres(double cm);      // trunc(cm / gCmPerUnit + 0.5)
double toCentimetres(double units);      // units * gCmPerUnit
int32_t toCentimetresRounded(double units);  // trunc(units * gCmPerUnit + 0.5)
// Scale kilometres of a length in diagram units (the braking distances of the running engine).
double unitsToScaleKm(double units);
