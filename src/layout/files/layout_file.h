#pragma once
// The layout file gLayoutFileName and its companions (same base name, extensions loc, trj, stp, fdc).
#include <string>

#include "layout/model/layout_model.h"

// Called after a layout has been loaded so that the main window can size its client area to gCanvasSize.
// Set by the main window; null while there is none.
extern void (*gOnLayoutLoaded)();

// Reads gLayoutFileName (every version -1..9). 1 when a layout was read; 0 when there is no such file
// (an empty layout with default settings, no message) or the file cannot be used (a message, an empty
// layout, the settings as they were).
int loadLayoutFile();
// Writes the layout as version 9, replacing the old file only once the new one is complete.
// 1 saved (gDirtyFlags cleared, journal emptied); 0 not saved (a message, gDirtyFlags kept).
int saveLayoutFile();
// What loading does to each record of a file of that version (also to a record an edit-journal entry
// brings back): run-time state cleared, stored values outside their range set to their default.
void settleLoadedRecord(TrackRec& track, int version);
void settleLoadedRecord(BlockRec& block, int version);
// A turntable's centre held where its bridge's ends stay within the 32-bit range (loaded or received),
// NaN as 0: a centre far off would otherwise move its bridge track to the range's end at the next
// locomotive-file load.
void keepTurntableCentreInRange(TurntableRec& turntable);
// A block's stored corrections and slopes outside their range set to their default (loaded or received).
void keepBlockSettingsInRange(BlockRec& block);
void settleLoadedRecord(TurnoutRec& turnout, int version);
void settleLoadedRecord(SignalRec& signal);
void settleLoadedRecord(OutputRec& output);
void settleLoadedRecord(InputRec& input);
// The canvas size to use for a stored or received one: itself when the program can draw it, else 640 x 480.
CanvasSize drawableCanvasSize(int width, int height);
// Frees every element and connection, clears the step programs and empties the edit journal.
void clearLayout();
// Recomputes state bit 0x40: some section 1..sections has a kind but no input number.
BlockRec* updateBlockIncompleteFlag(BlockRec* block);
// Deletes a layout file and whichever of its companions exist, and reports what went.
void deleteLayoutFiles(const std::string& name);
