// The CPU time of the main cycle's ticks and its read-out on the status strip.
#include <QLabel>
#include <cstdio>

#include "platform/text_codec.h"
#include "shell/model/app_state.h"
#include "shell/main/main_cycle.h"
#include "shell/window/untSchema.h"

CycleTimes gCycleTimes;
int32_t gCycleTimeSum = 0;
uint8_t gCycleTimeCount = 0;
int32_t gCycleTimeLastMean = 0;

namespace {
constexpr int kTicksPerMean = 100;  // the mean is taken on the tick after this many
}

void recordCycleTime(int32_t t) {
    CycleTimes& c = gCycleTimes;
    if (t < c.minimum) c.minimum = t;
    if (t > c.maximum) c.maximum = t;
    gCycleTimeSum += t;
    ++gCycleTimeCount;
    if (gCycleTimeCount > kTicksPerMean) {
        const int32_t mean = gCycleTimeSum / gCycleTimeCount;
        c.mean = (mean + gCycleTimeLastMean) / 2;
        gCycleTimeLastMean = mean;
        gCycleTimeSum = 0;
        gCycleTimeCount = 0;
    }
}

std::string cycleStatisticsText() {
    char text[96];
    std::snprintf(text, sizeof text, "%ldms(CPU:%ld-%ld-%ld\xB5s)", static_cast<long>(gTickPeriod),
                  static_cast<long>(gCycleTimes.minimum), static_cast<long>(gCycleTimes.mean),
                  static_cast<long>(gCycleTimes.maximum));
    return text;
}

void showCycleStatistics() {
    if (frmSchema) frmSchema->lblKlokinterval->setText(vestrel::fromCp1252(cycleStatisticsText()));
    gCycleTimes.minimum = 100000;
    gCycleTimes.maximum = 0;
}
