// A client's requests for step programs (kind 14: the program index in b, the code repeated in a),
// steps (kind 15) and formulas (kind 16).
#include <cstring>

#include "network/model/net_queue.h"
#include "network/sync/server_request_kinds.h"
#include "operation/control/accessory_operation.h"
#include "operation/model/train_model.h"
#include "platform/byte_io.h"
#include "shell/model/app_state.h"
#include "steps/dialogs/step_editor_link.h"
#include "steps/draw/step_number.h"
#include "steps/editor/formula_store.h"
#include "steps/editor/step_store.h"
#include "steps/engine/formula_engine.h"
#include "steps/engine/step_executor.h"
#include "steps/files/step_file.h"
#include "steps/model/step_codec.h"
#include "steps/model/step_codes.h"
#include "steps/model/step_program.h"

namespace {

int programChange(const NetRequest& q, StepProgramRec* p) {
    switch (q.code) {
    case 0:
    case 42: return insertOrDeleteStep(p, q.c, q.code == 42) ? 1 : 0;
    case 2: {
        LocoRec* loco = gLocsOnTrack[q.c];
        if (!loco) return 0;
        p->boundLoco = loco;
        q.echo();
        return 1;
    }
    case 15:
        if (q.c < 1 || q.c > p->stepCount) return 0;
        p->currentStep = static_cast<uint8_t>(q.c);
        startStepWait(p);
        drawStepNumber(p);
        q.echo();
        return 1;
    case 19:
        if (q.c < 0) return 0;
        p->waitLeft = static_cast<int16_t>(q.c);
        p->nextSecond = static_cast<int32_t>(gMsTick + 1000);
        q.echo();
        return 1;
    case 20:
        if (q.c < 0 || q.c > 255) return 0;
        p->counter = static_cast<uint8_t>(q.c);
        q.echo();
        return 1;
    case 44:
        if (q.c < 0 || q.c > 2) return 0;
        setStepProgramState(p, q.c);
        return 1;
    case 48: saveStepProgramFile(); return 1;
    default: return 0;
    }
}

// The program whose run of gSteps holds the step, null for none.
const StepProgramRec* ownerOfStep(int stepIndex) {
    for (const StepProgramRec* p : gStepPrograms)
        if (stepIndex >= p->firstStep && stepIndex < p->firstStep + p->stepCount) return p;
    return nullptr;
}

}  // namespace

int stepProgramRequest(const NetRequest& q) {
    StepProgramRec* p = gStepPrograms[q.b];
    if (!p || q.a != q.code) return 0;
    const int understood = programChange(q, p);
    if (stepEditorShows(p)) refreshStepEditor();
    return understood;
}

// 15/37: the step's 10 bytes behind the header; a = 10, b the step's index in gSteps.
int stepRequest(const NetRequest& q) {
    StepRec* step = gSteps[q.b];
    if (q.code != 37 || q.a != kStepRecSize || !step || q.length < 6 + kStepRecSize) return 0;
    StepRec s;
    uint8_t image[kStepRecSize];
    for (int k = 0; k < kStepRecSize; ++k) image[k] = static_cast<uint8_t>(q.byte(6 + k));
    vestrel::ByteReader r(image, sizeof image);
    if (!decodeStep(r, s) || s.conditionCode >= kConditionCodes || s.actionCode >= kActionCodes) return 0;
    const StepProgramRec* owner = ownerOfStep(q.b);
    s.conditionValue = static_cast<int16_t>(clampConditionValue(s.conditionCode, s.conditionValue));
    s.actionValue = static_cast<int16_t>(clampActionValue(s.actionCode, s.actionValue, owner ? owner->stepCount : 0));
    *step = s;
    resolveStepConditionTarget(step);  // its own table index, never the sender's
    redrawStepRowOf(q.b);
    q.echo();
    return 1;
}

int formulaRequest(const NetRequest& q) {
    switch (q.code) {
    case 0:
    case 42:
        if (q.c != 0 && q.c != 1) return 0;
        return addOrRemoveFormula(q.a, q.b, q.c) ? 1 : 0;
    case 16: {
        StepProgramRec* p = gStepPrograms[q.a];
        if (!p || q.b < 0 || q.b >= gFormulaCount) return 0;
        evaluateFormula(p, q.b + 1, 1);
        return 1;
    }
    case 37: {
        // a = 22: the formula from its operand types on (types, comparison, operation, five spare bytes,
        // the three entered values), b its index.
        FormulaRec* f = gFormulas[q.b];
        if (q.a != 22 || !f || q.length < 28) return 0;
        uint8_t image[kFormulaRecSize] = {};
        for (int k = 0; k < 22; ++k) image[2 + k] = static_cast<uint8_t>(q.byte(6 + k));
        vestrel::ByteReader r(image, sizeof image);
        FormulaRec g;
        if (!decodeFormula(r, g)) return 0;
        for (uint8_t t : g.types)
            if (t > 7) return 0;
        if (g.comparison > 5 || g.operation > 9) return 0;
        std::memcpy(f->types, g.types, sizeof f->types);
        f->comparison = g.comparison;
        f->operation = g.operation;
        std::memcpy(f->entered, g.entered, sizeof f->entered);
        q.echo();
        return 1;
    }
    default: return 0;
    }
}
