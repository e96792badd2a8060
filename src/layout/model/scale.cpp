#include "layout/model/scale.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "layout/model/geometry.h"
#include "operation/model/length_units.h"
#include "operation/model/vehicle_positions.h"
#include "shell/model/app_state.h"

const float gScaleTable[8] = {22.5f, 32, 45, 76, 87, 120, 160, 220};

float gCmPerUnit = 0;
float gRescaleFactor = 1;
float gSpeedFactor = 0;
int8_t gUnit20cm = 0;
int8_t gHalfUnit20cm = 0;
int16_t gUnit15cm = 0;
int16_t gUnit5cm = 0;
int16_t gUnit40cm = 0;
int8_t gUnit3cm = 0;
int16_t gUnit50cm = 0;
int8_t gUnit4cm = 0;
int8_t gUnit4cmLess1 = 0;

LayoutOffset gSavedLayoutOffset;
uint8_t gCoordOrientation = 0;
uint8_t gServerOrientation = 0;
LayoutOffset gServerLayoutOffset;
int32_t gPeerTurnAngle = 0;
void (*gTurnoutSizeShown)(bool refill) = nullptr;

namespace {
// The zoom step Z: the zoom digit's value plus one ('1' gives 2, '9' gives 10).
int zoomValue() { return gZoomDigit - 47; }

bool validScaleDigit(char d) { return d >= '1' && d <= '8'; }

double distance(DiagramPoint a, DiagramPoint b) { return std::hypot(double(b.x - a.x), double(b.y - a.y)); }

std::string centimetreText(const char* format, double units) {
    char text[32];
    std::snprintf(text, sizeof text, format, toCentimetres(units));
    return text;
}

void setStandardLengths() {
    gUnit20cm = static_cast<int8_t>(roundScale(scaleLength(20)));
    // gUnit4cm still holds its value from the previous call here (0 on the first).
    gHalfUnit20cm = static_cast<int8_t>(std::max(fromCentimetres(gUnit20cm) / 2, gUnit4cm + 4));
    gUnit15cm = static_cast<int16_t>(fromCentimetres(scaleLength(15)));
    gUnit5cm = static_cast<int16_t>(fromCentimetres(scaleLength(5)));
    gUnit40cm = static_cast<int16_t>(fromCentimetres(scaleLength(40)));
    gUnit3cm = static_cast<int8_t>(fromCentimetres(scaleLength(3)));
    gUnit50cm = static_cast<int16_t>(fromCentimetres(scaleLength(50)));
    gUnit4cm = static_cast<int8_t>(std::max(fromCentimetres(scaleLength(4)), 8));
    gUnit4cmLess1 = static_cast<int8_t>(gUnit4cm - 1);
}

// Variable mode: length and width from the indexes, on a unit of 2 Z.
void setVariableTurnoutSize(int unit) {
    gTurnoutLength = static_cast<uint8_t>(unit * (gTurnoutLengthIndex + 4));
    gTurnoutBranchLength = static_cast<uint8_t>(gTurnoutLength - unit / 4 - gTurnoutWidthIndex);
    gGridStep = static_cast<uint8_t>(unit + (gTurnoutWidthIndex == 1 ? unit / 2 : 0));
}

// Takes the length and width indexes from a drawn turnout's legs.
void measureTurnout(const TurnoutRec& t, int unit, int lengthIndex) {
    gTurnoutLengthIndex = static_cast<uint8_t>(lengthIndex);
    const int width = roundScale(distance(t.legs[1], t.legs[2]));
    gTurnoutWidthIndex = unit + gSnapTolerance / 2 < width ? 1 : 0;
}
}  // namespace

int32_t roundScale(double v) { return truncatedInt(v + 0.5); }

float scaleDenominator(char scaleDigit) {
    return gScaleTable[validScaleDigit(scaleDigit) ? scaleDigit - '1' : 4];
}

float scaleLength(float cm) { return static_cast<float>(cm * 87.0 / scaleDenominator(gScaleDigit)); }

void setScaleParameters(char zoomDigit, char scaleDigit, uint8_t sizeMode) {
    if (zoomDigit < '1') zoomDigit = static_cast<char>(zoomDigit + 49);
    // A damaged file header must not reach the scale table or make the zoom step zero or negative.
    if (zoomDigit < '1' || zoomDigit > '9') zoomDigit = '3';
    if (!validScaleDigit(scaleDigit)) scaleDigit = '5';
    gZoomDigit = zoomDigit;
    gCmPerUnit = static_cast<float>((sizeMode ? 261.0 : 413.337) / scaleDenominator(scaleDigit) / (2 * zoomValue()));
    if (gScaleDigit) {
        double ratio = double(scaleDenominator(scaleDigit)) / scaleDenominator(gScaleDigit);
        if (sizeMode != gTurnoutSizeMode) ratio *= sizeMode ? 4.751 / 3 : 3 / 4.751;
        gRescaleFactor = static_cast<float>(ratio);
    }
    const bool changed = scaleDigit != gScaleDigit || sizeMode != gTurnoutSizeMode;
    gScaleDigit = scaleDigit;
    gTurnoutSizeMode = sizeMode;
    computeTurnoutSize(nullptr, changed ? 1 : 0);
    gSnapTolerance = static_cast<uint8_t>(zoomValue());
    setStandardLengths();
    for (TurnoutRec* t : gTurnouts) t->runState = 0;
}

int computeTurnoutSize(const TurnoutRec* turnout, int mode) {
    const int z = zoomValue();
    if (!gTurnoutSizeMode) {
        gTurnoutLength = static_cast<uint8_t>(8 * z);
        gTurnoutBranchLength = static_cast<uint8_t>(gTurnoutLength * 15 / 16);
        gGridStep = static_cast<uint8_t>(gTurnoutLength / 4);
        return toCentimetresRounded(gTurnoutLength);
    }
    const int unit = 2 * z;
    if (turnout) {
        const int length = roundScale(distance(turnout->legs[0], turnout->legs[1]));
        const int index = std::clamp((length + unit / 2) / unit - 4, 0, 4);
        if (mode == 2) return toCentimetresRounded(unit * (index + 4));
        measureTurnout(*turnout, unit, index);
    }
    setVariableTurnoutSize(unit);
    if (gTurnoutSizeShown) gTurnoutSizeShown(mode == 1);
    return toCentimetresRounded(gTurnoutLength);
}

std::string turnoutLengthItem(int index) {
    const int unit = 2 * zoomValue();
    return centimetreText("%0.0f cm", unit * (index + 4));
}

std::string turnoutWidthItem(int index) {
    const int unit = 2 * zoomValue();
    return centimetreText("%0.1f cm", index ? unit + unit / 2 : unit);
}

void updateSpeedFactor() {
    if (gTickPeriod == 0) return;
    gSpeedFactor = static_cast<float>((gTurnoutSizeMode ? 3.0 : 4.751) / (2 * zoomValue()) * 87 * 36 / gTickPeriod);
    updateAllVehiclePositions();
}
