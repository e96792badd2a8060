#pragma once
// Whether a vehicle end stands where its position says.
struct PositionRec;

// True when the end's point lies on a drawn line of the element the end names (within 3 units): a
// section of its block, a segment of its connecting track, a leg of its turnout. An end that names no
// element is not on the track.
bool pickConfirmsVehicleEnd(const PositionRec& end);
