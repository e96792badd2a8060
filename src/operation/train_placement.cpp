#include "operation/train_placement.h"

#include "operation/train_model.h"

int calcStepDelay(const LocoRec* loco, int acceleration) {
    if (!loco || loco->run.speedSteps <= 0) return 0;
    return (12 - acceleration) * loco->run.maxSpeed * 10 / loco->run.speedSteps;
}

// Until train placement is built no train is measured or moved: every train is taken to fit and to
// stand where its stored positions put it.
int checkTrainLength(LocoRec*) { return 1; }
int isTrainStoppedOnBlock(LocoRec*, int) { return 0; }
int placeTrainOnBlock(LocoRec*, BlockRec*, int) { return 1; }
