#include "steps/editor/formula_store.h"

#include <memory>
#include <new>

#include "network/model/net_queue.h"
#include "shell/config/messages.h"
#include "steps/dialogs/step_editor_link.h"
#include "steps/model/step_program.h"

namespace {

constexpr int kFormulaCondition24 = 24;
constexpr int kFormulaAction26 = 26;

void setFormulaNumber(StepRec& step, int conditionFlag, int number) {
    if (conditionFlag) step.conditionValue = static_cast<int16_t>(number);
    else step.actionValue = static_cast<int16_t>(number);
}

int addFormula(int stepIndex, int position, int conditionFlag) {
    if (gFormulaCount >= kMaxFormulas) {
        showDialogMessage("Maximum aantal formules bereikt !", 1);
        return 0;
    }
    std::unique_ptr<FormulaRec> f(new (std::nothrow) FormulaRec{});
    if (!f) {
        fatalOutOfMemory();
        return 0;
    }
    f->position = static_cast<uint8_t>(position);
    f->flags = conditionFlag ? kFormulaCondition : 0;
    gFormulas.append(std::move(f));
    setFormulaNumber(*gSteps[stepIndex], conditionFlag, position + 1);
    fillFormulaCombos();
    redrawStepRowOf(stepIndex);
    netQueueRecord(30, 16, 0, stepIndex, position, conditionFlag);
    return position + 1;
}

int removeFormula(int stepIndex, int position, int conditionFlag) {
    gFormulas.removeAt(position);
    for (int k = position; k < gFormulaCount; ++k) gFormulas[k]->position = static_cast<uint8_t>(k);
    setFormulaNumber(*gSteps[stepIndex], conditionFlag, 0);
    fillFormulaCombos();
    const int removed = position + 1;
    for (int i = 0; i < gStepCount; ++i) {
        StepRec& s = *gSteps[i];
        bool changed = false;
        if (s.conditionCode == kFormulaCondition24 && s.conditionValue > removed) {
            --s.conditionValue;
            changed = true;
        }
        if (s.actionCode == kFormulaAction26 && s.actionValue > removed) {
            --s.actionValue;
            changed = true;
        }
        if (changed) redrawStepRowOf(i);
    }
    redrawStepRowOf(stepIndex);
    netQueueRecord(30, 16, 42, stepIndex, position, conditionFlag);
    return removed;
}

}  // namespace

int addOrRemoveFormula(int stepIndex, int position, int conditionFlag) {
    if (!gSteps[stepIndex]) return 0;
    if (position == gFormulaCount) return addFormula(stepIndex, position, conditionFlag);
    if (position >= 0 && position < gFormulaCount) return removeFormula(stepIndex, position, conditionFlag);
    return 0;
}
