#pragma once
// Finding the layout element under a point during a session.
struct PositionRec;

// True when the session's pick tests at the vehicle end's point find the element the end names.
bool pickConfirmsVehicleEnd(const PositionRec& end);
