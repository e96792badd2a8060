#include "operation/control/speed_bar.h"

#include <QSlider>

#include "operation/control/control_post.h"
#include "operation/model/train_model.h"
#include "shell/model/app_state.h"

int speedBarStepAt(int steps, const SpeedBarRect& bar, int x, int y) {
    if (x < bar.left || x >= bar.left + bar.width || y < bar.top || y >= bar.top + bar.height) return -1;
    if (steps <= 0) return -1;  // a locomotive with no speed steps (a damaged file) takes no point
    const int h = bar.height;
    const int span = h - (h - 20) / steps - 20;
    if (span <= 0) return -1;   // a bar too short for its steps
    int g = steps - (y - bar.top - 10) * steps / span;
    if (g < 0) g = 0;
    if (g > steps) g = steps;
    return g;
}

int dragLocoSpeedBar(LocoRec& loco, int row, QSlider* bar, int x, int y) {
    if (!bar) return 0;
    const QRect r = bar->geometry();
    const SpeedBarRect rect{r.left(), r.top(), r.width(), r.height()};
    const int steps = loco.run.speedSteps;
    const int g = speedBarStepAt(steps, rect, x, y);
    if (g < 0) return 0;
    if (bar->maximum() != steps) bar->setMaximum(steps);
    if (loco.targetStep < g) {
        // One step up from the step below the point, so the locomotive gets there without ramping
        // through every step by hand; from standstill only the first step.
        if (loco.targetStep != 0) loco.targetStep = static_cast<int16_t>(g - 1);
        controlPostCommand(38, row);
    } else if (loco.targetStep > g) {
        loco.targetStep = static_cast<int16_t>(g + 1);
        controlPostCommand(40, row);
    } else if (row != gActiveRow) {
        controlPostCommand(0, row);
    }
    return 1;
}
