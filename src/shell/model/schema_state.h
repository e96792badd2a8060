#pragma once
// State the main window creates for the whole program (besides its widgets).
#include <cstdint>

#include "layout/model/layout_model.h"

extern int gCharWidth;         // pixel width of "0" in the main window's font
extern int gStatusTextHeight;  // height of the status line's text, 12

// The edit journal's work records: old copies of one element of each kind.
struct JournalScratch {
    TrackRec* track = nullptr;
    BlockRec* block = nullptr;
    TurnoutRec* turnout = nullptr;
    SignalRec* signal = nullptr;
    OutputRec* output = nullptr;
    InputRec* input = nullptr;
    TurntableRec* turntable = nullptr;
    uint8_t* stepProgram = nullptr;  // a step-program record's 56 bytes
};
constexpr int kStepProgramScratchSize = 56;
extern JournalScratch gJournalScratch;

// Allocates the records that are not there yet; false when memory ran out.
bool allocateJournalScratch();

extern int64_t gPerfFrequency;   // performance-counter counts per second
extern int32_t gPerfTicksPerMs;  // gPerfFrequency / 1000
