#include "layout/editor/entry_state.h"

int gPlacementAngle = kNoDirection;
int gPlacementAngleAfter = kNoDirection;
int gMovePointIndex = 0;
bool gMovingOnePoint = false;
DiagramPoint gJoinPoint;
BlockRec* gSignalBlock = nullptr;
int gSignalAngle = 0;
char gSignalDirection = 0;
EnteredRecords gEntered;
