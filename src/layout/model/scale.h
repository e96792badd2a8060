#pragma once
// Scale, zoom and quarter turns of the layout.
// The layout is stored in diagram units; the model scale (gScaleDigit), the zoom (gZoomDigit) and the
// turnout size mode (gTurnoutSizeMode) decide what a unit means, and every length derived from them
// lives here.
#include <cstdint>
#include <string>

#include "layout/model/layout_model.h"

// Scale denominators 1:N, indexed by gScaleDigit - '1'.
extern const float gScaleTable[8];

extern float gCmPerUnit;      // centimetres of the real layout per diagram unit
extern float gRescaleFactor;  // new / previous scale, see setScaleParameters
extern float gSpeedFactor;    // running speed divisor, see updateSpeedFactor

// Standard lengths (diagram units, except gUnit20cm which is in centimetres).
extern int8_t gUnit20cm;
extern int8_t gHalfUnit20cm;
extern int16_t gUnit15cm;
extern int16_t gUnit5cm;
extern int16_t gUnit40cm;
extern int8_t gUnit3cm;
extern int16_t gUnit50cm;
extern int8_t gUnit4cm;
extern int8_t gUnit4cmLess1;

extern LayoutOffset gSavedLayoutOffset;   // gLayoutOffset before it was last reset to 0
extern uint8_t gCoordOrientation;         // orientation the stored coordinates are in
extern uint8_t gServerOrientation;        // orientation last received from the server
extern LayoutOffset gServerLayoutOffset;  // layout offset last received from the server
extern int32_t gPeerTurnAngle;            // client's cached turn for positions from the server

// "Rounded" in the scale arithmetic: +0.5, then truncated toward zero (also for negative values).
int32_t roundScale(double v);

float scaleDenominator(char scaleDigit);
// A length in centimetres at 1:87 converted to the current scale.
float scaleLength(float cm);
// Sets the three settings (a zoom given as a number 0..8 becomes '1'..'9') and every derived value.
void setScaleParameters(char zoomDigit, char scaleDigit, uint8_t sizeMode);
// Sets the turnout dimensions, from the given turnout's legs in variable mode; mode 1 also refills the
// main window's size choices, mode 2 only measures the turnout. Returns the turnout length in cm.
int computeTurnoutSize(const TurnoutRec* turnout, int mode);
// Told after computeTurnoutSize has set a variable turnout size: the main window shows the size in its
// turnout-size lists (filled anew with refill). Nothing is told while no window listens.
extern void (*gTurnoutSizeShown)(bool refill);
// Items of the main window's turnout length and width choices in variable mode.
std::string turnoutLengthItem(int index);
std::string turnoutWidthItem(int index);
// Recomputes gSpeedFactor once the tick period is known, and the vehicles' direction vectors with it.
void updateSpeedFactor();

// Multiplies points 0..last by f (rounded); points with x = 0 are unused and stay.
void scalePoints(DiagramPoint* points, int last, float f);
void scaleAllElements(float f);
// Applies new settings to every coordinate; withRatio also applies the change of scale and mode.
// Returns 0 (settings restored, nothing scaled) when a turntable would no longer fit.
int rescaleLayout(char zoomDigit, char scaleDigit, uint8_t sizeMode, bool withRatio);
// Lays out the drawing area for the canvas size, moves the layout back to its origin and redraws.
int resetDrawingArea();

// A quarter turn of the layout: the angle (0, 90, 180, -90) and the shift that follows it.
struct QuarterTurn {
    int angle = 0;
    int32_t dx = 0;
    int32_t dy = 0;
};
// The turn from the orientation the coordinates are in to the given one; keeps the top-left corner.
QuarterTurn rotationOffsets(int newOrientation);
// The turn back from the server's view (client side).
QuarterTurn rotationOffsetsBack(int previousOrientation);
void rotatePoints(DiagramPoint* points, int last, const QuarterTurn& turn);
void addToAngles(int32_t* angles, int last, int angle);
void rotateTurntable(TurntableRec& t, const QuarterTurn& turn, bool bridgeOnly);
// Turns the whole layout to orientation 0..3. Mode 0: the settings dialog (only while a session runs
// are the coordinates turned); 1: turn to the chosen orientation; 2: turn the coordinates but keep
// gOrientation (files are written at 0); 3: as 1 after the server's orientation was taken over.
// Returns 1 when turned.
int rotateLayout(int orientation, int mode);
