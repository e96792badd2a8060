#pragma once
// The connection analysis: from the drawing it builds gConnections, every way of travel from a block
// end to the next block through connecting tracks, turnouts and crossings, with the turnout positions
// each way needs. Starting at a reference block, it also turns every block and connecting track so
// that travelling 'H' runs from its first point to its last, marks the ways through reversing loops,
// and writes the report "<layout>.log".
#include <cstdint>
#include <vector>

#include "layout/model/layout_model.h"

class ConnectionReport;

// Rebuilds the whole connection table from startBlock (whose 'H' exit is its last point) and writes
// the report; opens it for the user when it lists problems. Nothing happens without blocks.
void analyseConnections(BlockRec* startBlock);

// Follows the layout from point (coming from the element cameFrom, a record of any table) and ends
// connection c at the next block. Returns 1 when it reached a block; 0 at a dead end (c is removed
// from the table and freed) or when a limit was hit.
int traceConnection(ConnectionRec* c, DiagramPoint point, const void* cameFrom, ConnectionReport& report);

class TraceIndex;
// Keeps the indexes of a trace (element ends by grid cell, connections by block) for its lifetime;
// one made while another lives does nothing. Connections made while it lives must be announced with
// noteConnectionFrom once their from-block is set.
class ConnectionTraceScope {
public:
    ConnectionTraceScope();
    ~ConnectionTraceScope();
    ConnectionTraceScope(const ConnectionTraceScope&) = delete;
    ConnectionTraceScope& operator=(const ConnectionTraceScope&) = delete;

private:
    TraceIndex* index_ = nullptr;
};
void noteConnectionFrom(ConnectionRec* c);

// A zero-filled connection appended to gConnections, or nullptr (reported) when the table is full.
ConnectionRec* newConnection(ConnectionReport& report);

// Orders the table by from-block number, to-block number, then turnout list. Entries are moved, not
// swapped, into place, so that connections that compare equal keep the order in which they were found.
void sortConnections();

// Flips c's loop flag and reports the change; index is c's place in the table. Returns 0.
int toggleLoopFlag(ConnectionRec* c, int index, ConnectionReport& report);

// Turns a track or block around: points[0..last] reversed, the angles of segments 0..last-1 reversed
// and turned by 180 degrees. For a block also its section kinds (k becomes 7 - k) and section inputs
// follow their sections, and the signals of its number change end ('H' <-> 'T').
void reversePolyline(DiagramPoint* points, int32_t* angles, int last, BlockRec* block);
// reversePolyline for the direction 'heen': the analysis and the answer "Nee" turn stored elements, so
// the layout counts as changed and is saved or asked about like any edit. Bit 2 (properties), not
// bit 1: the connections just found stand, no new direction question is needed before a save.
void reverseForDirection(DiagramPoint* points, int32_t* angles, int last, BlockRec* block);

// Number of turnouts a connection passes (its list ends at the first null entry).
int connectionTurnoutCount(const ConnectionRec* c);

// The points where the last analysis found a way ending nowhere (marked red on the diagram).
const std::vector<DiagramPoint>& connectionDeadEnds();
void clearConnectionDeadEnds();
