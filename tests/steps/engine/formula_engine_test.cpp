// Formulas: operands, operations, comparisons and assignments, adding and removing them.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "layout/layout_builder.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "operation/model/train_model.h"
#include "shell/config/messages.h"
#include "steps/editor/formula_store.h"
#include "steps/engine/formula_engine.h"
#include "steps/model/step_program.h"

namespace {

struct Operand {
    int type = kOperandConst;
    float entered = 0;
};

// Formula number n (appended), a condition formula with a comparison or an action formula.
int addFormula(bool condition, Operand a, Operand b, int operation, Operand c, int comparison = 0) {
    auto f = std::make_unique<FormulaRec>();
    f->position = static_cast<uint8_t>(gFormulaCount);
    f->flags = condition ? kFormulaCondition : 0;
    f->types[0] = static_cast<uint8_t>(a.type);
    f->types[1] = static_cast<uint8_t>(b.type);
    f->types[2] = static_cast<uint8_t>(c.type);
    f->entered[0] = a.entered;
    f->entered[1] = b.entered;
    f->entered[2] = c.entered;
    f->comparison = static_cast<uint8_t>(comparison);
    f->operation = static_cast<uint8_t>(operation);
    gFormulas.append(std::move(f));
    return gFormulaCount;
}

// Builds the program the formulas work for before the fixture takes it.
struct FormulaProgram {
    FormulaProgram() {
        LayoutBuilder().stepProgram("p", {{"geen", 0, "geen", 0}, {"geen", 0, "geen", 0}, {"geen", 0, "geen", 0}});
    }
};

class Formulas : public ::testing::Test {
protected:
    void SetUp() override {
        for (float& v : gFormulaVars) v = 0;
        gNetLinkState = 0;
        gNetOutFill = 0;
        showDialogMessage("", 3);
    }
    void TearDown() override {
        gNetLinkState = 0;
        clearTrainTables();
    }
    FormulaProgram built;
    StepProgramRec& p = *gStepPrograms[0];
};

TEST_F(Formulas, AConditionComparesTheResultWithA) {
    const int n = addFormula(true, {kOperandVar, 1}, {kOperandConst, 2}, 1, {kOperandConst, 3}, 0);
    for (float v : {4.0f, 5.0f, 6.0f}) {
        gFormulaVars[0] = v;
        EXPECT_EQ(evaluateFormula(&p, n, 0), v == 5.0f ? 1 : 0) << v;
    }
    EXPECT_FLOAT_EQ(gFormulas[0]->result, 5.0f);
    EXPECT_FLOAT_EQ(gFormulas[0]->current[0], 6.0f);
    EXPECT_EQ(evaluateFormula(&p, 0, 0), -1);
    EXPECT_EQ(evaluateFormula(&p, 2, 0), -1);
    EXPECT_EQ(evaluateFormula(&p, std::numeric_limits<int>::min(), 0), -1);
}

TEST_F(Formulas, ComparisonsReadResultThenA) {
    const int results[6][3] = {{0, 1, 0}, {1, 0, 1}, {1, 0, 0}, {0, 0, 1}, {1, 1, 0}, {0, 1, 1}};  // 2, 3, 4 vs A 3
    for (int cmp = 0; cmp < 6; ++cmp) {
        gFormulas.clear();
        const int n = addFormula(true, {kOperandConst, 3}, {kOperandVar, 1}, 0, {}, cmp);
        for (int k = 0; k < 3; ++k) {
            gFormulaVars[0] = static_cast<float>(2 + k);
            EXPECT_EQ(evaluateFormula(&p, n, 0), results[cmp][k]) << cmp << " " << k;
        }
    }
}

TEST_F(Formulas, Operations) {
    struct Row {
        int op;
        float b, c, result;
    };
    const Row rows[] = {{0, 7, 2, 7},  {1, 7, 2, 9},   {2, 7, 2, 5},   {3, 7, 2, 14},  {4, 7, 2, 3.5f},
                        {4, 7, 0, 0},  {5, 2, 3, 8},   {5, 2, 0, 0},   {6, 27, 3, 3},  {6, 27, 0, 0},
                        {7, 60, 0, 0.5f}, {8, 30, 0, 0.5f}, {9, 45, 0, 1}};
    for (const Row& r : rows) {
        gFormulas.clear();
        const int n = addFormula(false, {kOperandVar, 2}, {kOperandConst, r.b}, r.op, {kOperandConst, r.c});
        EXPECT_EQ(evaluateFormula(&p, n, 1), 1);
        EXPECT_NEAR(gFormulaVars[1], r.result, 1e-5) << r.op << " " << r.b << " " << r.c;
    }
}

TEST_F(Formulas, AnActionCountsTheCounterUp) {
    const int n = addFormula(false, {kOperandCounter, 0}, {kOperandCounter, 0}, 1, {kOperandConst, 1});
    p.counter = 254;
    evaluateFormula(&p, n, 1);
    EXPECT_EQ(p.counter, 255);
    evaluateFormula(&p, n, 1);
    EXPECT_EQ(p.counter, 0);  // low 8 bits of 256
    evaluateFormula(&p, n, 0);
    EXPECT_EQ(p.counter, 0);  // without performing nothing is assigned
}

TEST_F(Formulas, AVariableNumberIsBroughtIntoOneToFifty) {
    gFormulaVars[0] = 11;
    gFormulaVars[49] = 22;
    const int n = addFormula(true, {kOperandVar, 0}, {kOperandVar, 75}, 0, {});
    evaluateFormula(&p, n, 0);
    EXPECT_EQ(gFormulas[0]->entered[0], 1.0f);
    EXPECT_EQ(gFormulas[0]->entered[1], 50.0f);
    EXPECT_EQ(gFormulas[0]->current[0], 11.0f);
    EXPECT_EQ(gFormulas[0]->current[1], 22.0f);
}

TEST_F(Formulas, OperandsOfTheProgramAndItsLocomotive) {
    float entered = 0;
    EXPECT_EQ(formulaOperandValue(kOperandLoco, entered, &p), 0.0f);  // no bound locomotive
    EXPECT_EQ(formulaOperandValue(kOperandSpeed, entered, &p), 0.0f);
    EXPECT_EQ(formulaOperandValue(kOperandDistance, entered, &p), 0.0f);
    auto loco = std::make_unique<LocoRec>();
    loco->number = 1234;
    loco->speedValue = 80;
    loco->run.kmTotal = 12.5f;
    p.boundLoco = gLocs.append(std::move(loco));
    p.counter = 3;
    p.waitLeft = 4;
    p.currentStep = 2;
    const float expected[8] = {0, 0, 1234, 80, 12.5f, 3, 4, 2};
    for (int type = 2; type < 8; ++type) EXPECT_EQ(formulaOperandValue(type, entered, &p), expected[type]) << type;
    entered = 6.5f;
    EXPECT_EQ(formulaOperandValue(kOperandConst, entered, &p), 6.5f);
}

TEST_F(Formulas, ValuesATargetCannotHoldAreRefusedOrSaturated) {
    auto loco = std::make_unique<LocoRec>();
    loco->number = 12;
    LocoRec* l = gLocs.append(std::move(loco));
    gLocsOnTrack.append(l);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Row {
        int target;
        float value;
    };
    const Row rows[] = {{kOperandVar, nan},     {kOperandLoco, nan},   {kOperandSpeed, nan},  {kOperandCounter, nan},
                        {kOperandWait, nan},    {kOperandStep, nan},   {kOperandVar, 1e30f},  {kOperandLoco, 1e30f},
                        {kOperandSpeed, 1e30f}, {kOperandCounter, 1e30f}, {kOperandWait, 1e30f}, {kOperandStep, 1e30f},
                        {kOperandCounter, -1e30f}, {kOperandWait, -5}, {kOperandStep, 4}, {kOperandLoco, 12}};
    for (const Row& r : rows) {
        gFormulas.clear();
        gFormulaVars[2] = 7;
        p.counter = 5;
        p.waitLeft = 6;
        p.currentStep = 2;
        p.boundLoco = nullptr;
        const int n = addFormula(false, {r.target, 3}, {kOperandVar, 4}, 0, {});
        gFormulaVars[3] = r.value;
        EXPECT_EQ(evaluateFormula(&p, n, 1), 1);
        const bool nanValue = std::isnan(r.value);
        EXPECT_EQ(gFormulaVars[2], r.target == kOperandVar && !nanValue ? r.value : 7.0f) << r.target << " " << r.value;
        EXPECT_EQ(p.counter, r.target == kOperandCounter && r.value > 0 ? 255 : 5) << r.value;
        EXPECT_EQ(p.waitLeft, r.target == kOperandWait && r.value > 0 ? 32767 : 6) << r.value;
        EXPECT_EQ(p.currentStep, 2);  // 4 and 1e30 lie beyond the three steps
        EXPECT_EQ(p.boundLoco, r.target == kOperandLoco && r.value == 12 ? l : nullptr);
    }
}

TEST_F(Formulas, PeersHearOfAPerformedAction) {
    p.number = 4;
    addFormula(false, {kOperandVar, 1}, {kOperandConst, 1}, 0, {});
    const int n = addFormula(false, {kOperandVar, 1}, {kOperandConst, 1}, 0, {});
    gNetLinkState = 30;
    evaluateFormula(&p, n, 0);
    EXPECT_EQ(gNetOutFill, 0);
    evaluateFormula(&p, n, 1);
    EXPECT_EQ(std::vector<uint8_t>(gNetOutBuffer, gNetOutBuffer + gNetOutFill),
              (std::vector<uint8_t>{16, 16, 4, 0, 1, 0, 0, 0}));
}

TEST_F(Formulas, AddingAndRemovingRenumbersTheSteps) {
    // Step 0 uses condition formula 1, step 1 action formula 2, step 2 condition formula 3.
    gSteps[0]->conditionCode = 24;
    gSteps[1]->actionCode = 26;
    gSteps[2]->conditionCode = 24;
    EXPECT_EQ(addOrRemoveFormula(0, 0, 1), 1);
    EXPECT_EQ(addOrRemoveFormula(1, 1, 0), 2);
    EXPECT_EQ(addOrRemoveFormula(2, 2, 1), 3);
    EXPECT_EQ(gSteps[0]->conditionValue, 1);
    EXPECT_EQ(gSteps[1]->actionValue, 2);
    EXPECT_EQ(gSteps[2]->conditionValue, 3);
    EXPECT_EQ(gFormulas[0]->flags, kFormulaCondition);
    EXPECT_EQ(gFormulas[1]->flags, 0);
    EXPECT_EQ(gFormulas[2]->position, 2);

    gNetLinkState = 30;
    EXPECT_EQ(addOrRemoveFormula(1, 1, 0), 2);
    ASSERT_EQ(gFormulaCount, 2);
    EXPECT_EQ(gFormulas[1]->position, 1);
    EXPECT_EQ(gFormulas[1]->flags, kFormulaCondition);
    EXPECT_EQ(gSteps[1]->actionValue, 0);
    EXPECT_EQ(gSteps[2]->conditionValue, 2);
    EXPECT_EQ(gSteps[0]->conditionValue, 1);
    EXPECT_EQ(std::vector<uint8_t>(gNetOutBuffer, gNetOutBuffer + gNetOutFill),
              (std::vector<uint8_t>{16, 42, 1, 0, 1, 0, 0, 0}));
    EXPECT_EQ(addOrRemoveFormula(1, 5, 0), 0);   // neither the next number nor a formula
    EXPECT_EQ(addOrRemoveFormula(-1, 2, 0), 0);  // no such step
    EXPECT_EQ(addOrRemoveFormula(3, 2, 0), 0);
}

TEST_F(Formulas, Formula51IsRefused) {
    for (int k = 0; k < 50; ++k) ASSERT_EQ(addOrRemoveFormula(0, k, 0), k + 1);
    EXPECT_EQ(addOrRemoveFormula(0, 50, 0), 0);
    EXPECT_EQ(lastDialogMessage(), "Maximum aantal formules bereikt !");
    EXPECT_EQ(gFormulaCount, 50);
    EXPECT_EQ(gSteps[0]->actionValue, 50);
}

}  // namespace
