#pragma once
// Putting a locomotive with its train on the track at a block: what the locomotive panel does when a
// block is chosen and when its OK confirms it, and what the server does for a client's request.
struct BlockRec;
struct LocoRec;

// A block that holds an arrived or assigned train or a loose wagon: no train can be put there.
bool blockReserved(const BlockRec* block);
// Places the train on the free block (no arrived or assigned train, no loose wagon) with its head
// there: the wagons' units follow their centimetres, the train is measured and placed. 1 placed (the
// block is then the train's); 0 refused or not fitting, with the train's positions cleared.
int placeLocoOnBlock(LocoRec* loco, BlockRec* block);
// Puts the placed locomotive on the track: a control-post row, a fresh standing state in mode
// "Rangeer", its track packets and block corrections, its helpers re-linked; the clients hear of it
// (2/40). 0 when it is on the track already, is a helper or the rows are full.
int putLocoOnTrack(LocoRec* loco);
// A peer's put-on-the-track record (2/40): the heading end and the direction in c (low and high byte),
// the block by its number and index. 1 when understood (placed, or not fitting); 0 for a locomotive on
// the track already, a helper, full rows, or a block, heading or direction that does not exist.
int putLocoOnNamedBlock(LocoRec* loco, int c, int blockNumber, int blockIndex);
