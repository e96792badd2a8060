#include <gtest/gtest.h>

#include "layout/model/double_turnouts.h"
#include "layout/model/layout_model.h"

namespace {
void addTurnout(int number, int partner) {
    auto t = std::make_unique<TurnoutRec>();
    t->number = static_cast<int16_t>(number);
    t->partner = static_cast<uint8_t>(partner);
    gTurnouts.append(std::move(t));
}
}  // namespace

// Only the trailing run of linked turnouts keeps links, renewed from the numbers; links in front are dropped.
TEST(DoubleTurnouts, RelinkRenewsTheTrailingZoneAndClearsTheRest) {
    gTurnouts.clear();
    addTurnout(5, 9);     // 0: in front of the zone, stale link
    addTurnout(12, 0);    // 1: ends the zone
    addTurnout(3012, 7);  // 2: zone, its half is at index 1
    addTurnout(3005, 1);  // 3: zone, its half is at index 0
    addTurnout(3099, 4);  // 4: zone, no turnout 99
    relinkDoubleTurnouts();
    EXPECT_EQ(gTurnouts[0]->partner, 0);
    EXPECT_EQ(gTurnouts[1]->partner, 0);
    EXPECT_EQ(gTurnouts[2]->partner, 2);
    EXPECT_EQ(gTurnouts[3]->partner, 1);
    EXPECT_EQ(gTurnouts[4]->partner, 0);
}

TEST(DoubleTurnouts, RelinkOfAnEmptyTableOrOneWithoutLinks) {
    gTurnouts.clear();
    relinkDoubleTurnouts();
    addTurnout(3005, 0);
    addTurnout(5, 0);
    relinkDoubleTurnouts();
    EXPECT_EQ(gTurnouts[0]->partner, 0);
    EXPECT_EQ(gTurnouts[1]->partner, 0);
}
