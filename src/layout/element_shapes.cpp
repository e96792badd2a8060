#include "layout/element_shapes.h"

#include <cmath>
#include <cstdio>

#include "shell/messages.h"

int normalizeAngle(int degrees) {
    if (degrees > 180) return degrees - 360;
    if (degrees < -179) return degrees + 360;
    return degrees;
}

double normalizeRadians(double r) {
    if (r > kPi) return r - 2 * kPi;
    if (r <= -kPi) return r + 2 * kPi;
    return r;
}

int roundHalfAway(double v) { return static_cast<int>(v >= 0 ? v + 0.5 : v - 0.5); }

// Cuts the positions back to what the ring holds at this zoom; 0 when it had to.
static int limitTurntablePositions(TurntableRec* t) {
    int most = static_cast<int>(t->radius * kPi / (gSnapTolerance + 1) - 0.5);
    if (most < 0) most = 0;
    if (t->positions <= most) return 1;
    t->positions = static_cast<uint8_t>(most);
    char text[160];
    std::snprintf(text, sizeof text,
                  "Het maximaal aantal aansluitingen van draaischijf %d is %d bij deze draaischijfafmeting en zoomfactor",
                  t->number, most);
    showDialogMessage(text, 1);
    return 0;
}

int layoutTurntable(TurntableRec* t, const DiagramPoint* first, DiagramPoint second) {
    if (!t) return 0;
    t->positionOfConnection[0] = 1;
    if (first) {
        double dx = second.x - first->x, dy = second.y - first->y;
        t->centre[0] = static_cast<float>((first->x + second.x) / 2.0);
        t->centre[1] = static_cast<float>((first->y + second.y) / 2.0);
        t->radius = static_cast<float>(std::sqrt(dx * dx + dy * dy) / 2);
        t->bridgeAngle = static_cast<float>(normalizeRadians(std::atan2(dy, dx)));
        t->currentAngle = t->bridgeAngle;
    }
    int answer = limitTurntablePositions(t);
    int n = t->positions;
    t->positionSpacing = n > 0 ? static_cast<uint8_t>(t->radius * kPi / n - 0.5) : 0;
    t->angularSpeed = static_cast<float>(t->bridgeSpeed * 0.1 * 0.001);
    for (int k = 0; k < n && k < kTurntablePositions; ++k) {
        double a = normalizeRadians(k * kPi / n + t->bridgeAngle);
        double c = std::cos(a), s = std::sin(a);
        t->outerEnds[k][0] = static_cast<int16_t>(roundHalfAway(-t->radius * c));
        t->outerEnds[k][1] = static_cast<int16_t>(roundHalfAway(-t->radius * s));
        t->innerEnds[k][0] = static_cast<int16_t>(roundHalfAway(-(t->radius - 6) * c));
        t->innerEnds[k][1] = static_cast<int16_t>(roundHalfAway(-(t->radius - 6) * s));
    }
    for (int k = n; k < kTurntablePositions; ++k) {
        if (t->outerEnds[k][0] == 0 && t->outerEnds[k][1] == 0) continue;
        t->outerEnds[k][0] = t->outerEnds[k][1] = 0;
        t->innerEnds[k][0] = t->innerEnds[k][1] = 0;
        t->positionOfConnection[k] = 0;
    }
    return answer;
}
