#pragma once
// The length and angle read-outs of the editor: segment and curve measures in lblLijnlengte and the
// pointer position in lblCurPos, lengths in centimetres of the real layout. Directions are shown
// negated (the element angle convention); 999 (no direction) counts as 0.
#include <string>

#include "layout/model/layout_model.h"

struct SegmentEnds {
    DiagramPoint a;
    DiagramPoint b;
};

double segmentLength(DiagramPoint a, DiagramPoint b);
// The sum of the lengths of segments 0..last-1 of a polyline.
double polylineLength(const DiagramPoint* points, int last);
// The angle between a segment leaving in `direction` and the one before it, 0..180 (180 = straight on).
int angleBetweenSegments(int reference, int direction);

std::string segmentMeasuresText(SegmentEnds first, const SegmentEnds* second, int reference, int direction,
                                double totalUnits);
std::string curveMeasuresText(DiagramPoint from, DiagramPoint to, int reference, int direction);
std::string cursorPositionText(DiagramPoint p);

// The read-outs on the main window; polyline[0..last] is the track or block being entered (its total).
void showSegmentMeasures(const DiagramPoint* polyline, int last, SegmentEnds first, const SegmentEnds* second,
                         int reference, int direction);
void showCurveMeasures(int x1, int y1, int x2, int y2, int reference, int direction);
// The pointer (gMousePoint) less the layout offset.
void showCursorPosition();
