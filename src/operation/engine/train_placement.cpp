#include "operation/engine/train_placement.h"

#include "operation/model/train_model.h"

// Until train placement is built no train is measured or moved: every train is taken to fit and to
// stand where its stored positions put it.
int checkTrainLength(LocoRec*) { return 1; }
int isTrainStoppedOnBlock(LocoRec*, int) { return 0; }
int placeTrainOnBlock(LocoRec*, BlockRec*, int) { return 1; }

// Until train placement is built no train is moved.
int placeTrainOnConnection(LocoRec*, WagonRec*, int) { return 0; }
