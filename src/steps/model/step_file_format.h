#pragma once
// The step-program file as bytes (little-endian):
//   0 "V0.6" | 4 int16 programs | 6 int16 steps | 8 int16 formulas (from version 6 on)
//   then the 56-byte programs, the 10-byte steps in step-table order, the 40-byte formulas in number order.
// A file without the version text (version 0) starts with the counts. Older versions had fewer action
// codes; their codes are converted on reading.
#include <cstdint>
#include <vector>

#include "layout/model/layout_model.h"
#include "steps/model/step_program.h"

constexpr int kStepFileVersion = 6;

struct StepFileImage {
    int version = 0;
    std::vector<StepProgramRec> programs;
    std::vector<StepRec> steps;
    std::vector<FormulaRec> formulas;
};

// The action code of a file of this version as it reads today (may lie beyond the table: the caller checks).
int convertActionCode(int version, int code);
// Reads a whole file. False when it cannot be used: a count outside 0..50 / 0..500 / 0..50, a short file,
// a program's steps outside the step table or overlapping another's, a condition code above 24 or an action
// code above 34 (after conversion), or a formula type, comparison or operation outside its table.
// Run-time fields of the programs are reset; a program without steps gets a first step inside the table.
bool readStepFileImage(const std::vector<uint8_t>& bytes, StepFileImage& im);
// The file of the given programs (in that order), every step and every formula, boxes less the offset.
std::vector<uint8_t> writeStepFileImage(const std::vector<const StepProgramRec*>& programs, LayoutOffset offset);
