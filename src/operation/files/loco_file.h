#pragma once
// The locomotive file (gLocoFileName, "<layout>.loc"): all locomotives with their speed tables, all
// wagons with the way they are coupled, and the run state of the control post (where the trains
// stand, which blocks and turnouts they hold, signal and turntable states, the formula variables).
//
// Layout (little-endian): "V1.1"; zoom digit and three zero bytes; int32 locomotive count n; n
// locomotive images; n speed tables of 127 bytes; per locomotive its front chain then its rear
// chain as wagon images; int32 loose count and the loose wagons; int32 wagon total and the wagons off
// the track; the run state: blocks (count, then int32 arrived and assigned locomotive), turnouts
// (count, int32 holder, position character), signals (count, state character), turntables (count,
// target position, float32 angle, int32 locomotive on the bridge), 50 float32 formula variables.
// Locomotives are named by their gLocs index + 1 (0 none). Older versions load with their smaller
// records and without the parts they lack.
#include "operation/model/loco_file_format.h"  // positions read from the file
#include "operation/model/train_codec.h"

// Writes the file (the layout is turned to orientation 0 first and left so); 0 when it could not be
// written (the user is told).
int saveLocoFile();
// Reads the file; 1 when it was opened, 0 when it could not be opened or its zoom digit is invalid.
// flag 1 loads every locomotive off the track. A damaged locomotive or wagon part leaves no
// locomotives and no wagons, a damaged run state leaves every train off the track; both with a
// message.
int loadLocoFile(int flag);
