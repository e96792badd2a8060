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
