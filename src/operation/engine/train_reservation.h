#pragma once
// The reserved marks of blocks and the release of a train's connection.
struct BlockRec;
struct ConnectionRec;
struct LocoRec;

// Sets the reserved mark of the connection's from-block to fromMark and of its to-block to toMark
// (each only when the block is free or the train's), redraws what changed and queues the block states.
void setRouteReserved(ConnectionRec* connection, LocoRec* loco, int fromMark, int toMark);
// Frees the train's connection (its to-block, its turnouts, the reserved marks); with onlyWhenStanding
// only when the train stands in the connection's from-block and has not departed. 1 released.
int releaseRouteOfTrain(LocoRec* loco, int onlyWhenStanding);
// The block the train counts as standing in.
BlockRec* currentSectionOfTrain(LocoRec* loco);
// XOR-redraws the loose wagons standing on the block; twice around a redraw of it keeps them visible.
void redrawVehiclesInSection(BlockRec* block);
