#include "layout/editor/curve_entry.h"

#include <algorithm>
#include <cstdio>

#include "layout/editor/angle_guides.h"
#include "layout/editor/drawing_aids.h"
#include "layout/editor/editor_prompts.h"
#include "layout/editor/editor_state.h"
#include "layout/editor/entry_aids.h"
#include "layout/editor/entry_state.h"
#include "layout/model/geometry.h"
#include "layout/editor/measure_readouts.h"
#include "layout/editor/pointer_range.h"
#include "layout/model/scale.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"

int gCurvePieces = 4;
int gCurveSide = 1;

namespace {

constexpr int kMaxPieces = 9;
constexpr int kEnter = 13;
constexpr int kEscape = 27;
constexpr uint32_t kChordColour = 0x000000;

bool gCurveLaidOut = false;  // the points n..gCurveLast form the curve to the pointer
int gCurveLast = 0;
bool gChordShown = false;
DiagramPoint gChord[2];

void showCurvePrompt(int n) {
    char text[160];
    std::snprintf(text, sizeof text, "Geef aantal lijnstukken in <%d>(3-%d) of klik of druk 'enter'", gCurvePieces,
                  kMaxPieces);
    std::string prompt = text;
    if (n == 1) prompt += " / Druk spatiebalk in om de richting van de bocht te wijzigen";
    showEditorPrompt(prompt.c_str());
}

void eraseChord() {
    if (gChordShown) drawXorLine(gChord[0].x, gChord[0].y, gChord[1].x, gChord[1].y, kChordColour);
    gChordShown = false;
}

void showChord(DiagramPoint from, DiagramPoint to) {
    eraseChord();
    gChord[0] = from;
    gChord[1] = to;
    drawXorLine(from.x, from.y, to.x, to.y, kChordColour);
    gChordShown = true;
}

// Takes the curve's points away: point n and what follows are free again.
void clearCurve(const Polyline& line, int n) {
    setRubberBands(line.points, n - 1);
    for (int k = n; k < line.maxPoints; ++k) line.points[k] = {};
    gCurveLaidOut = false;
}

// The direction of the first piece and the turn from piece to piece, from the chord's direction a.
void curveSteps(int a, double& step, int& first) {
    const int sweep = normalizeAngle(gPlacementAngle == kNoDirection ? a + 90 * gCurveSide : a - gPlacementAngle);
    if (sweep > 0) {
        step = -180.0 / gCurvePieces;
        first = normalizeAngle(roundHalfAway(a - (90 + step / 2)));
    } else {
        step = 180.0 / gCurvePieces;
        first = normalizeAngle(roundHalfAway(a + 90 - step / 2));
    }
}

void layoutCurve(const Polyline& line, int n) {
    DiagramPoint* p = line.points;
    const DiagramPoint from = p[n - 1];
    const DiagramPoint to = gMousePoint;
    showChord(from, to);
    showCurveMeasures(from.x, from.y, to.x, to.y, gPlacementAngle, angleOfSegment(from.x, from.y, to.x, to.y));
    clearCurve(line, n);
    if (segmentLength(from, to) < gUnit50cm) return;
    if (gCurvePieces < 3 || gCurvePieces > kMaxPieces) gCurvePieces = 4;
    const DiagramPoint middle{(from.x + to.x) / 2, (from.y + to.y) / 2};
    const int a = angleOfSegment(from.x, from.y, middle.x, middle.y);
    double step = 0;
    int first = 0;
    curveSteps(a, step, first);
    if (gPlacementAngle != kNoDirection && compareAngles(first, gPlacementAngle, 60) != 0) return;
    const int last = std::min(n + gCurvePieces - 1, line.maxPoints - 1);
    for (int k = n; k <= last; ++k) {
        p[k] = rotatePointBy(p[k - 1], middle, step);
        line.angles[k - 1] = angleOfSegment(p[k - 1].x, p[k - 1].y, p[k].x, p[k].y);
    }
    // A half circle can bulge off the diagram; a point there (at x 0 it would even end the block) is not laid out.
    for (int k = n; k <= last; ++k) {
        if (isInDrawingArea(p[k].x, p[k].y) != kInDrawingArea) {
            clearCurve(line, n);
            return;
        }
    }
    setRubberBands(p, last);
    setAngleGuides(p[last].x, p[last].y, line.angles[last - 1], 60);
    gCurveLast = last;
    gCurveLaidOut = true;
}

int leaveCurve(const Polyline& line, int n, uint32_t mode) {
    eraseChord();
    clearCurve(line, n);
    showPointEntryHint(1);
    gEditMode = mode;
    return static_cast<int>(mode);
}

// The curve's last point becomes point n of straight entry, which the same click then fixes.
int takeCurve(const Polyline& line) {
    eraseChord();
    *line.last = gCurveLast;
    gCurveLaidOut = false;
    const int n = gCurveLast;
    gPlacementAngle = polylineReference(line, n);
    setAngleGuides(line.points[n - 1].x, line.points[n - 1].y, gPlacementAngle, 60);
    showPointEntryHint(1);
    gEditMode = kEditFollow;
    return 0;
}

}  // namespace

int enterCurve(const Polyline& line) {
    const int n = *line.last;
    if (gEditMode != kEditCurve) {
        if (gPendingKey != 'c' || gEditMode != kEditFollow || n < 1) return 0;
        gEditMode = kEditCurve;
        showCurvePrompt(n);
        layoutCurve(line, n);
        return 1;
    }
    const int key = gPendingKey;
    if (key >= '3' && key <= '9') {
        gCurvePieces = key - '0';
        showCurvePrompt(n);
        layoutCurve(line, n);
        return 1;
    }
    if (gMouseButton == 2 || key == kEscape) return leaveCurve(line, n, kEditRestart);
    if (gShiftState > 9) return leaveCurve(line, n, kEditCancelled);
    if (gMouseButton == 1 || key == kEnter) return gCurveLaidOut ? takeCurve(line) : 1;
    if (key == ' ') gCurveSide = -gCurveSide;
    stepCursorByKey();
    if (key == ' ' || !(gMousePoint == gLastPointer)) {
        moveEntryCrosshair();
        layoutCurve(line, n);
    }
    return 1;
}
