#include "operation/draw/train_drawing.h"

// No train or wagon is placed on the track yet, so there is nothing to draw or erase.
void drawTrainsOnTrack(int) {}
void drawLooseWagons(int) {}
void eraseTrainsOnLayer(int) {}
void redrawErasedTrains() {}
void redrawAllTrains() {}
void eraseTrain(LocoRec*) {}
void drawTrain(LocoRec*) {}
void drawVehicle(WagonRec*, vestrel::Canvas*, WagonRec*) {}

// The locomotive symbol is not drawn apart from its train yet.
void drawLocoSymbol(LocoRec*) {}
void restoreBackgroundUnderLoco(LocoRec*) {}
