// A vehicle end is confirmed on the element it names by that element's drawn lines, so loose wagons on
// connecting tracks and on every leg of a turnout stay on the track.
#include <gtest/gtest.h>

#include "layout/layout_builder.h"
#include "operation/control/picking.h"
#include "operation/model/train_model.h"

namespace {

PositionRec endAt(float x, float y, BlockRec* b, TrackRec* t, TurnoutRec* k) {
    PositionRec p;
    p.x = x;
    p.y = y;
    p.block = b;
    p.track = t;
    p.turnout = k;
    return p;
}

TEST(VehicleEnd, IsConfirmedOnTheDrawnLinesOfItsElement) {
    LayoutBuilder()
        .block(1, {{100, 100}, {200, 100}, {300, 100}})
        .track({{300, 100}, {350, 150}, {350, 250}})
        .turnout('l', 1, {{400, 100}, {440, 100}, {440, 130}})
        .turnout('x', 0, {{500, 100}, {540, 100}, {500, 120}, {540, 80}});
    BlockRec* b = gBlocks[0];
    TrackRec* t = gTracks[0];
    TurnoutRec* left = gTurnouts[0];
    TurnoutRec* crossing = gTurnouts[1];
    struct Case {
        PositionRec end;
        bool confirmed;
    } cases[] = {
        {endAt(250, 102, b, nullptr, nullptr), true},
        {endAt(250, 104, b, nullptr, nullptr), false},
        {endAt(350, 200.5f, nullptr, t, nullptr), true},   // the track's last segment
        {endAt(325, 125, nullptr, t, nullptr), true},      // its bend
        {endAt(420, 100, nullptr, nullptr, left), true},   // straight leg, away from the centre
        {endAt(436, 127, nullptr, nullptr, left), true},   // diverging leg
        {endAt(410, 126, nullptr, nullptr, left), false},
        {endAt(530, 87, nullptr, nullptr, crossing), true},  // the crossing's second line
        {endAt(250, 100, nullptr, nullptr, nullptr), false},  // names no element
    };
    for (const Case& c : cases)
        EXPECT_EQ(pickConfirmsVehicleEnd(c.end), c.confirmed) << c.end.x << "," << c.end.y;
    LayoutBuilder();  // leaves the tables empty
}

}  // namespace
