#pragma once
// The client's side of the full copy: the table records, the relinking once all have arrived, the end
// of the copy, and the server view that turns the server's coordinates into the client's.
#include <cstdint>

#include "layout/model/layout_model.h"

struct PositionRec;

// Reads the table record (kind 0) at position pos of gNetInBuffer, count bytes from there on: its whole
// length when it was taken over or skipped (a table already full), -1 when it has not all arrived, 0
// for an unknown table code.
int netClientReadTable(int pos, int count);
// Turns the received 1-based slots and indexes of the wagons and locomotives into pointers, sets the
// wagon zones and lists the locomotives standing on the track.
void netRelinkSnapshot();
// The end record of the copy (kind 1 code 1, 58 bytes at rec): the client is synchronised (40) and
// shows the copy.
void netClientEndOfCopy(const uint8_t* rec);
// The server's speed factor from its settings record (kind 21); 0 before one arrived.
extern float gNetServerSpeedFactor;
// A direction vector is the unit vector divided by the speed factor. The server's become this
// program's, multiplied by its speed factor over ours, so that the client's trains travel as fast and
// show their direction where the server's do; unchanged while either factor is unknown.
void netDirectionToClientSpeed(PositionRec& p);
// Forgets what the copy gathered so far (before a new copy starts).
void netResetCopyReception();

// The server view. Kind 22: the server's layout offset; kind 23: its orientation (drops the cached
// turn).
void netSetServerOffset(int32_t x, int32_t y);
void netSetServerOrientation(int orientation);
// Received points into the client's view: while the copy arrives only shifted by the difference of
// the layout offsets (the layout is turned as a whole at its end); afterwards turned as well when the
// server's orientation differs from the client's.
void netPointsToClientView(DiagramPoint* points, int last);
void netPositionToClientView(PositionRec& p);
