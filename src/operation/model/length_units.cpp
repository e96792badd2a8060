#include "operation/model/length_units.h"

#include "layout/model/scale.h"

int32_t fromCentimetres(double cm) { return static_cast<int32_t>(cm / gCmPerUnit + 0.5); }
double toCentimetres(double units) { return units * gCmPerUnit; }
int32_t toCentimetresRounded(double units) { return static_cast<int32_t>(units * gCmPerUnit + 0.5); }

double unitsToScaleKm(double units) {
    const double f = gTurnoutSizeMode == 1 ? 3 : 4.751;
    return units * f * 87 / ((gZoomDigit - 47) * 2) * 0.00001;
}
