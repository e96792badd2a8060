#pragma once
// Drawing the trains and the loose wagons standing on the track diagram. The back buffer holds the
// diagram with the loose wagons but without the trains; trains are drawn on the screen canvas only.
// Wagons are drawn with a not-XOR pen, so drawing one twice at the same place erases it; locomotive
// symbols are erased by copying the back buffer's rectangle back. Each vehicle end keeps the point it was
// last drawn at (ix, iy): erasing uses those, drawing stores them anew.
#include <array>

#include "layout/model/layout_model.h"
#include "platform/canvas.h"

struct LocoRec;
struct WagonRec;

// Every train on the track (its locomotive symbols and vehicles), on the screen canvas.
void drawTrainsOnTrack(int backBuffer);
// Every loose wagon standing on the track; with backBuffer also on the back buffer.
void drawLooseWagons(int backBuffer);
// Around redrawing one layer during a session: the trains and loose wagons standing on its tracks and
// blocks are erased (each once) first and drawn again afterwards.
void eraseTrainsOnLayer(int layerBit);
void redrawErasedTrains();

// The per-cycle redraw of the trains that moved (run flag 0x04), which mends what their erasing damaged.
void redrawAllTrains();
// The speed factor changed: the direction dots, which reach as far as the direction vector times the
// factor, are drawn again for every train on the track, standing ones too.
void redrawTrainsForSpeedFactor();
// Restores the background under the train's symbol and XOR-draws its wagons at their stored positions.
void eraseTrain(LocoRec* loco);
// Draws the train at its current positions and stores them; nearby symbols are drawn again.
void drawTrain(LocoRec* loco);
// Draws the symbol at the current position and XOR-draws the wagons at their current positions,
// storing nothing.
void redrawTrainVehicles(LocoRec* loco);

// The wagon colour by kind: 'G' 0x000080, 'P' 0xFF0000, others 0x008000.
vestrel::TColor vehicleColour(const WagonRec* wagon);
// XOR-draws the wagon at its stored position; the pen is restored (copy, width 1) unless next is given.
void drawVehicle(WagonRec* wagon, vestrel::Canvas* canvas, WagonRec* next);
// A line between the stored (or the truncated current) positions of the wagon's ends, with the pen as set.
void drawVehicleStored(WagonRec* wagon, vestrel::Canvas* canvas);
void drawVehicleCurrent(WagonRec* wagon, vestrel::Canvas* canvas);
// XOR-draws each wagon of the chain on the back buffer and on the screen.
void drawVehicleChain(WagonRec* first);
// A wagon on the track changed its kind: it is erased in the old kind's colour and drawn in the new
// one's (a loose wagon also on the back buffer; a train's wagons live on the screen only).
void redrawWagonKind(WagonRec* wagon, char oldKind, char newKind);

// Draws the locomotive's symbol at its stored (useStored 1) or current position; clears run flag 0x04.
void drawLocoSymbol(LocoRec* loco, int useStored = 0);
// Puts back the background under the locomotive's symbol at its stored position.
void restoreBackgroundUnderLoco(LocoRec* loco);
// The other locomotives on the track whose stored position lies within distance of p in x and in y.
int findTrainsNear(std::array<LocoRec*, 20>& out, DiagramPoint p, int distance, const LocoRec* excluded);
