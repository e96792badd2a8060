#pragma once
// Scale, zoom and quarter turns of the layout.
#include <cstdint>

extern uint8_t gCoordOrientation;  // orientation the stored coordinates are in

void setScaleParameters(char zoomDigit, char scaleDigit, uint8_t sizeMode);
int resetDrawingArea();
int rotateLayout(int orientation, int mode);
void updateSpeedFactor();
