#pragma once
// Block-end aspects, signals, the choice of a train's connection, the FIFO of waiting automatic trains
// and route progress.
#include <cstdint>

struct BlockRec;
struct ConnectionRec;
struct LocoRec;
struct RouteRec;

// Why a train may not go: bits 0x01..0x40 from the connection evaluation, or one whole code 128..132.
extern uint8_t gBlockedReason;

// 1 when the connection gives 'G' for the train (null: the from-block's assigned train); without
// evalOnly the aspect is stored at the from-block's end.
int routeAspect(ConnectionRec* connection, LocoRec* loco, int evalOnly);
void updateSectionAspects(int pass);
// Recomputes every block-end aspect and the signals.
void updateRoutes();
// 0 blocked, 1 no turnouts, 2 set already, 3 thrown.
int setConnectionTurnouts(ConnectionRec* connection);
void chooseConnection(LocoRec* loco);
// 'G', 'O', 'R', 'S', 'T' (already departed) or 'X' (not yet at the stop section).
char sectionAspectForTrain(LocoRec* loco, BlockRec* block);
char applyTrainAspect(LocoRec* loco);
char reevaluateTrain(LocoRec* loco);
void reevaluateTrainAndFifo(LocoRec* loco);
// 1 when some train of the FIFO got 'G'; skip (may be null) is left out.
int reevaluateFifo(LocoRec* skip);
void addToRunningFifo(LocoRec* loco);
void removeFromRunningFifo(LocoRec* loco);
// The FIFO in its order, and emptied (a session ends).
int runningFifoCount();
LocoRec* runningFifoAt(int index);
void clearRunningFifo();
int trainMayProceed(LocoRec* loco);
int locateTrainInRoute(LocoRec* loco);
// The train (or, when null, the train on the track following route) gets its departure wait.
void updateTrainSchedule(LocoRec* loco, RouteRec* route = nullptr);
// 1 when the connection (null: the route line's) fits the train's heading and direction.
int checkRouteDirection(LocoRec* loco, ConnectionRec* connection);
