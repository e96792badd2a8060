#include <gtest/gtest.h>

#include "operation/control/speed_bar.h"

namespace {

struct BarCase {
    const char* what;
    int steps;
    SpeedBarRect bar;
    int x, y;
    int step;
};

TEST(SpeedBar, StepAtPointTable) {
    const SpeedBarRect tall{10, 96, 45, 209};
    const BarCase cases[] = {
        {"10 pixels below the top asks the top step", 28, tall, 20, 106, 28},
        {"the top edge itself is above the top step", 28, tall, 20, 96, 28},
        {"the bottom asks step 0", 28, tall, 20, 96 + 208, 0},
        {"the middle", 28, tall, 30, 96 + 10 + 91, 15},
        {"14 steps", 14, tall, 20, 106, 14},
        {"left of the bar", 28, tall, 9, 150, -1},
        {"right edge is off the bar", 28, tall, 55, 150, -1},
        {"below the bar", 28, tall, 20, 96 + 209, -1},
        {"no speed steps takes no point", 0, tall, 20, 150, -1},
        {"negative steps take no point", -3, tall, 20, 150, -1},
        {"a bar too short for its steps", 28, SpeedBarRect{0, 0, 45, 20}, 5, 5, -1},
    };
    for (const BarCase& c : cases) EXPECT_EQ(speedBarStepAt(c.steps, c.bar, c.x, c.y), c.step) << c.what;
}

}  // namespace
