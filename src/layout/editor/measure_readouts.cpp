#include "layout/editor/measure_readouts.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "operation/model/length_units.h"
#include "shell/window/editor_readouts.h"
#include "shell/model/input_state.h"

namespace {

constexpr const char* kDegree = "\xB0";  // the degree sign in Windows text

std::string format(const char* pattern, auto... values) {
    char text[160];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

int shown(int direction) { return direction == 999 ? 0 : -direction; }

}  // namespace

double segmentLength(DiagramPoint a, DiagramPoint b) {
    return std::hypot(static_cast<double>(b.x) - a.x, static_cast<double>(b.y) - a.y);
}

double polylineLength(const DiagramPoint* points, int last) {
    double total = 0;
    for (int k = 0; k < last; ++k) total += segmentLength(points[k], points[k + 1]);
    return total;
}

int angleBetweenSegments(int reference, int direction) {
    if (reference == 999) reference = 0;
    int a = 180 + direction - reference;
    if (a > 180) a = 360 - a;
    return std::abs(a);
}

std::string segmentMeasuresText(SegmentEnds first, const SegmentEnds* second, int reference, int direction,
                                double totalUnits) {
    const int between = angleBetweenSegments(reference, direction);
    const double total = toCentimetres(totalUnits);
    const double firstLength = toCentimetres(segmentLength(first.a, first.b));
    if (second) {
        const std::string pattern =
            std::string("%0.1f  >%d") + kDegree + "      >%d" + kDegree + "      %0.1f  >%d" + kDegree + "      Total:%0.1f";
        return format(pattern.c_str(), firstLength, shown(reference), between,
                      toCentimetres(segmentLength(second->a, second->b)), shown(direction), total);
    }
    const std::string pattern = std::string(">%d") + kDegree + "      %0.1f  >%d" + kDegree + "      Total:%0.1f";
    return format(pattern.c_str(), between, firstLength, shown(direction), total);
}

std::string curveMeasuresText(DiagramPoint from, DiagramPoint to, int reference, int direction) {
    const std::string pattern = std::string(">%d") + kDegree + "      %0.2f  >%d" + kDegree;
    return format(pattern.c_str(), angleBetweenSegments(reference, direction),
                  toCentimetres(segmentLength(from, to)), shown(direction));
}

std::string cursorPositionText(DiagramPoint p) {
    return format("%0.1f / %0.1f", toCentimetres(p.x - static_cast<double>(gLayoutOffset.x)),
                  toCentimetres(p.y - static_cast<double>(gLayoutOffset.y)));
}

void showSegmentMeasures(const DiagramPoint* polyline, int last, SegmentEnds first, const SegmentEnds* second,
                         int reference, int direction) {
    setLineLengthReadout(segmentMeasuresText(first, second, reference, direction, polylineLength(polyline, last)));
}

void showCurveMeasures(int x1, int y1, int x2, int y2, int reference, int direction) {
    setLineLengthReadout(curveMeasuresText({x1, y1}, {x2, y2}, reference, direction));
}

void showCursorPosition() { setCursorPositionReadout(cursorPositionText(gMousePoint)); }
