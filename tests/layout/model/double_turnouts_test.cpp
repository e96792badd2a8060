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

// Every link is renewed from the numbers, wherever it stands: a link whose lower half is gone, or on a
// turnout that is no upper half, is dropped; an unlinked turnout stays unlinked.
TEST(DoubleTurnouts, RelinkRenewsEveryLinkFromTheNumbers) {
    gTurnouts.clear();
    addTurnout(5, 9);     // 0: no upper half, stale link
    addTurnout(12, 0);    // 1
    addTurnout(3012, 7);  // 2: its half is at index 1
    addTurnout(3001, 0);  // 3: unlinked among linked ones (its half was deleted)
    addTurnout(3005, 1);  // 4: its half is at index 0
    addTurnout(3099, 4);  // 5: no turnout 99
    relinkDoubleTurnouts();
    EXPECT_EQ(gTurnouts[0]->partner, 0);
    EXPECT_EQ(gTurnouts[1]->partner, 0);
    EXPECT_EQ(gTurnouts[2]->partner, 2);
    EXPECT_EQ(gTurnouts[3]->partner, 0);
    EXPECT_EQ(gTurnouts[4]->partner, 1);
    EXPECT_EQ(gTurnouts[5]->partner, 0);
    EXPECT_EQ(findTurnoutPartner(gTurnouts[0], 0), 5);  // asked from the lower half
    EXPECT_EQ(findTurnoutPartner(gTurnouts[1], 0), 3);
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
