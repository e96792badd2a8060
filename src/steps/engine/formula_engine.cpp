#include "steps/engine/formula_engine.h"

#include <cmath>
#include <limits>

#include "network/model/net_queue.h"
#include "operation/control/loco_operation.h"
#include "operation/engine/contact_evaluation.h"
#include "operation/model/train_model.h"
#include "steps/model/step_program.h"

namespace {

constexpr float kPiDegrees = 3.14159f / 180.0f;

// A float as an integer of [low, high], truncated toward zero (NaN gives low).
int saturate(float v, int low, int high) {
    if (!(v > static_cast<float>(low))) return low;
    if (v >= static_cast<float>(high)) return high;
    return static_cast<int>(v);
}

int varNumber(float& entered) {
    if (!(entered >= 1.0f)) entered = 1.0f;
    if (entered > static_cast<float>(kFormulaVars)) entered = static_cast<float>(kFormulaVars);
    return static_cast<int>(entered);
}

float operationResult(int operation, float b, float c) {
    switch (operation) {
    case 0: return b;
    case 1: return b + c;
    case 2: return b - c;
    case 3: return b * c;
    case 4: return c == 0 ? 0.0f : b / c;
    case 5: return c == 0 ? 0.0f : std::pow(b, c);
    case 6: return c == 0 ? 0.0f : std::pow(b, 1.0f / c);
    case 7: return std::cos(b * kPiDegrees);
    case 8: return std::sin(b * kPiDegrees);
    case 9: return std::tan(b * kPiDegrees);
    default: return 0.0f;
    }
}

bool compares(int comparison, float result, float a) {
    switch (comparison) {
    case 0: return result == a;
    case 1: return result != a;
    case 2: return result < a;
    case 3: return result > a;
    case 4: return result <= a;
    case 5: return result >= a;
    default: return false;
    }
}

LocoRec* locoOnTrackNumbered(float number) {
    for (LocoRec* l : gLocsOnTrack)
        if (static_cast<float>(l->number) == number) return l;
    return nullptr;
}

// Assigns the result to what operand A names. Values a target cannot hold are refused or saturated;
// NaN assigns nothing.
void assignResult(FormulaRec& f, StepProgramRec* program, float result) {
    if (std::isnan(result)) return;
    const int type = f.types[0];
    if (type == kOperandVar) {
        gFormulaVars[varNumber(f.entered[0]) - 1] = result;
        return;
    }
    if (!program) return;
    LocoRec* loco = program->boundLoco;
    switch (type) {
    case kOperandLoco:
        if (LocoRec* l = locoOnTrackNumbered(result)) program->boundLoco = l;
        break;
    case kOperandSpeed:
        if (loco && result >= 0) setLocoSpeedStep(loco, speedStepForSpeed(loco, saturate(result, 0, INT16_MAX)));
        break;
    case kOperandCounter:
        if (result >= 0) program->counter = static_cast<uint8_t>(saturate(result, 0, INT32_MAX) & 0xFF);
        break;
    case kOperandWait:
        if (result >= 0) program->waitLeft = static_cast<int16_t>(saturate(result, 0, INT16_MAX));
        break;
    case kOperandStep:
        if (result >= 1 && result < static_cast<float>(program->stepCount) + 1)
            program->currentStep = static_cast<uint8_t>(result);
        break;
    default: break;
    }
}

}  // namespace

float formulaOperandValue(int type, float& entered, const StepProgramRec* program) {
    const LocoRec* loco = program ? program->boundLoco : nullptr;
    switch (type) {
    case kOperandConst: return entered;
    case kOperandVar: return gFormulaVars[varNumber(entered) - 1];
    case kOperandLoco: return loco ? static_cast<float>(loco->number) : 0.0f;
    case kOperandSpeed: return loco ? static_cast<float>(loco->speedValue) : 0.0f;
    case kOperandDistance: return loco ? loco->run.kmTotal : 0.0f;
    case kOperandCounter: return program ? static_cast<float>(program->counter) : 0.0f;
    case kOperandWait: return program ? static_cast<float>(program->waitLeft) : 0.0f;
    case kOperandStep: return program ? static_cast<float>(program->currentStep) : 0.0f;
    default: return 0.0f;
    }
}

int evaluateFormula(StepProgramRec* program, int number, int perform) {
    if (number < 1 || number > gFormulaCount) return -1;
    FormulaRec* f = gFormulas[number - 1];
    for (int k = 0; k < 3; ++k) f->current[k] = formulaOperandValue(f->types[k], f->entered[k], program);
    f->result = operationResult(f->operation, f->current[1], f->current[2]);
    if (f->flags & kFormulaCondition) {
        const bool outcome = compares(f->comparison, f->result, f->current[0]);
        f->flags = static_cast<uint8_t>((f->flags & ~kFormulaOutcome) | (outcome ? kFormulaOutcome : 0));
    } else {
        f->flags |= kFormulaOutcome;
        if (perform) {
            assignResult(*f, program, f->result);
            netQueueRecord(30, 16, 16, program ? program->number : 0, number - 1, 0);
        }
    }
    return (f->flags & kFormulaOutcome) ? 1 : 0;
}
