#include "operation/engine/route_aspects.h"

uint8_t gBlockedReason = 0;

// Until aspects are evaluated no connection is chosen and no train is let go: every answer is "not
// done" (0, forced red), so that no refusal turns into an action.
int routeAspect(ConnectionRec*, LocoRec*, int) { return 0; }
void updateSectionAspects(int) {}
void updateRoutes() {}
int setConnectionTurnouts(ConnectionRec*) { return 0; }
void chooseConnection(LocoRec*) {}
char sectionAspectForTrain(LocoRec*, BlockRec*) { return 'S'; }
char applyTrainAspect(LocoRec*) { return 'S'; }
char reevaluateTrain(LocoRec*) { return 'S'; }
void reevaluateTrainAndFifo(LocoRec*) {}
int reevaluateFifo(LocoRec*) { return 0; }
void addToRunningFifo(LocoRec*) {}
void removeFromRunningFifo(LocoRec*) {}
int trainMayProceed(LocoRec*) { return 0; }
int locateTrainInRoute(LocoRec*) { return 0; }
void updateTrainSchedule(LocoRec*, RouteRec*) {}
int checkRouteDirection(LocoRec*, ConnectionRec*) { return 0; }
