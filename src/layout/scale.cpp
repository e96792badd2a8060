#include "layout/scale.h"

#include "layout/layout_model.h"

uint8_t gCoordOrientation = 0;

void setScaleParameters(char zoomDigit, char scaleDigit, uint8_t sizeMode) {
    gZoomDigit = zoomDigit < '1' ? static_cast<char>(zoomDigit + 49) : zoomDigit;
    gScaleDigit = scaleDigit;
    gTurnoutSizeMode = sizeMode;
}

int resetDrawingArea() {
    gLayoutOffset = {};
    return 1;
}

int rotateLayout(int /*orientation*/, int /*mode*/) { return 0; }

void updateSpeedFactor() {}
