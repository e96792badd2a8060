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
    // Every linked turnout, not only the trailing run: deleting one half of a pair leaves the other half
    // unlinked where it stands, and the links behind or in front of it must survive that (and a save and
    // load after it).
    for (TurnoutRec* t : gTurnouts) {
        if (t->partner == 0) continue;
        t->partner = t->number >= 3001 && t->number <= 5047 ? linkToNumber(t->number - 3000) : 0;
    }
}

int findTurnoutPartner(const TurnoutRec* turnout, int number) {
    if (!turnout) return 0;
    if (number != 0) {
        int partner = 0;
        if (number >= 1 && number < 2048)
            partner = number + 3000;
        else if (number >= 3001 && number <= 5047)
            partner = number - 3000;
        if (partner == 0) return 0;
        for (int i = 0; i < gTurnoutCount; ++i)
            if (gTurnouts[i] != turnout && gTurnouts[i]->number == partner) return i + 1;
        return 0;
    }
    if (turnout->partner != 0) {
        const int link = turnout->partner;
        const bool valid = link <= gTurnoutCount && turnout->number == gTurnouts[link - 1]->number + 3000;
        return valid ? link : 0;
    }
    for (int i = gTurnoutCount - 1; i >= 0; --i) {
        const int link = gTurnouts[i]->partner;
        if (link != 0 && link <= gTurnoutCount && gTurnouts[link - 1] == turnout) return i + 1;
    }
    return 0;
}

int doubleTurnoutZoneStart() {
    int i = gTurnoutCount;
    while (i > 0 && gTurnouts[i - 1]->partner != 0) --i;
    return i;
}
