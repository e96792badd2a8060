#include "layout/model/double_turnouts.h"

#include "layout/model/layout_model.h"

namespace {

// 1-based index of the first turnout with this number, 0 when there is none.
uint8_t linkToNumber(int number) {
    for (int i = 0; i < gTurnoutCount; ++i)
        if (gTurnouts[i]->number == number) return static_cast<uint8_t>(i + 1);
    return 0;
}

}  // namespace

void relinkDoubleTurnouts() {
    int i = gTurnoutCount - 1;
    for (; i >= 0 && gTurnouts[i]->partner != 0; --i) {
        TurnoutRec* t = gTurnouts[i];
        t->partner = linkToNumber(t->number - 3000);
    }
    for (; i >= 0; --i) gTurnouts[i]->partner = 0;
}
