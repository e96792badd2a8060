#pragma once
// Drawing the trains and the loose wagons standing on the track diagram.

// Every train on the track (its locomotive symbols and vehicles); with backBuffer also on the back buffer.
void drawTrainsOnTrack(int backBuffer);
// Every loose wagon standing on the track.
void drawLooseWagons(int backBuffer);
// Around redrawing one layer during a session: the trains standing on its tracks and blocks are erased
// (each once) first and drawn again afterwards.
void eraseTrainsOnLayer(int layerBit);
void redrawErasedTrains();

struct LocoRec;
struct WagonRec;
namespace vestrel { class Canvas; }
// The per-cycle redraw of the trains that moved.
void redrawAllTrains();
// Restores the background under the train's symbol and XOR-draws its wagons at their stored positions.
void eraseTrain(LocoRec* loco);
// Draws the train at its current positions and stores them.
void drawTrain(LocoRec* loco);
// XOR-draws the wagon at its stored position; the pen is restored unless next is given.
void drawVehicle(WagonRec* wagon, vestrel::Canvas* canvas, WagonRec* next);
// Draws the locomotive's symbol again on its background (after a change of direction).
void drawLocoSymbol(LocoRec* loco);
// Puts back the background under the locomotive's symbol (a halted train's symbol blinks).
void restoreBackgroundUnderLoco(LocoRec* loco);
