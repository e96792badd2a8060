#pragma once
// Step-program records <-> their stored 56-byte images (step-program file, network copy, the journal's
// scratch copy). Little-endian, field by field:
//   0 name, 21 bytes zero-terminated (at most 20 characters) | 21 number | 22 step count | 23 current step
//   24 state | 25 counter | 26 two zero bytes | 28 int16 first step | 30 int16 wait left
//   32 int32 box left, top, right, bottom | 48 int32 next second | 52 bound locomotive (written as 0)
//
// Steps (10 bytes): 0 int16 condition value | 2 int16 action value | 4 int16 time | 6 int16 resolved target
//   8 condition code | 9 action code
// Formulas (40 bytes): 0 position | 1 flags | 2 types of A, B, C | 5 comparison | 6 operation | 7 five zero
//   bytes | 12 f32 A, B, C entered | 24 f32 A, B, C current | 36 f32 result
#include "platform/byte_io.h"
#include "steps/model/step_program.h"

void encodeStepProgram(vestrel::ByteWriter& w, const StepProgramRec& p);
// Reads one record at the reader's position; the name ends at its first zero byte or after 20 characters.
// The bound locomotive becomes none. False after a short read.
bool decodeStepProgram(vestrel::ByteReader& r, StepProgramRec& p);

void encodeStep(vestrel::ByteWriter& w, const StepRec& s);
bool decodeStep(vestrel::ByteReader& r, StepRec& s);
void encodeFormula(vestrel::ByteWriter& w, const FormulaRec& f);
bool decodeFormula(vestrel::ByteReader& r, FormulaRec& f);
