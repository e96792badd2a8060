#pragma once
// Collisions of shunting trains.
struct LocoRec;
struct PositionRec;

// Stops a shunting train without connection, or the train it runs into, when their extreme ends touch.
void checkStandingCollision(LocoRec* loco);
// 1 when end a touches end b from beyond b along b's direction of travel.
int vehicleEndsTouch(const PositionRec& a, const PositionRec& b);
