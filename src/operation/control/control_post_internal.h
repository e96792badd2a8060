#pragma once
// Inside the control-post dispatcher: what a click hit, and the commands it runs.
#include "operation/control/element_picks.h"

struct LocoRec;
struct WagonRec;

struct PostHit {
    int code = 0;             // 402..411, 501..504, or 0 nothing
    PickHit element;          // the layout element (402..408)
    LocoRec* loco = nullptr;  // 410; 411: the wagon's owner (null for a loose wagon)
    int row = -1;             // 410: the locomotive's control-post row
    WagonRec* wagon = nullptr;
    WagonRec* first = nullptr;  // 411: the first wagon of the wagon's run or chain
};

// The locomotive in control-post row `row`, or null (an empty row, or a row past the on-track count).
LocoRec* locoInRow(int row);
bool lokPlacing();
bool wagonsPlacing();
// Runs the command of step 7 (gActiveRow is the row concerned).
void runPostCommand(int code, const PostHit& hit);
