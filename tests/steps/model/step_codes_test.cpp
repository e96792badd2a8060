// The condition and action tables that the editor lists and clamps with and the executor follows.
#include <gtest/gtest.h>

#include "layout/layout_builder.h"
#include "steps/model/step_codes.h"

namespace {

TEST(StepCodes, ConditionValuesAreClampedToTheirRanges) {
    const struct {
        const char* label;
        int typed, kept;
    } rows[] = {{"ingang=1", 600, 496}, {"ingang=0", -3, 0},       {"uitgang=R", 12000, 9999}, {"bezet=1", 201, 200},
                {"geres.=0", 150, 150}, {"loc.=1", 10000, 9999},   {"snelheid>=", 300, 255},  {"heen", 5, 0},
                {"pos.uitg.G=1", 10000, 9999}, {"Func.dec.", 80, 80}, {"teller<=", 256, 255}, {"formule", 77, 77},
                {"geen", 4, 0}};
    for (const auto& r : rows) EXPECT_EQ(clampConditionValue(conditionCode(r.label), r.typed), r.kept) << r.label;
}

TEST(StepCodes, ActionValuesAreClampedToTheirRanges) {
    const struct {
        const char* label;
        int typed, kept;
    } rows[] = {{"stap", 30, 12},       {"uitgang=G", 10000, 9999}, {"snelheid", 256, 255}, {"functie=1", 21, 20},
                {"ontkoppel", 25, 20},  {"syncV", 500, 496},        {"vul%", 101, 100},     {"loc", 12345, 9999},
                {"teller-", 300, 255},  {"formule", 60, 60},        {"A(", 3, 0},           {"richting", 1, 0}};
    for (const auto& r : rows) EXPECT_EQ(clampActionValue(actionCode(r.label), r.typed, 12), r.kept) << r.label;
}

TEST(StepCodes, WhatEachCodeNeeds) {
    for (const char* label : {"geen", "ingang=1", "ingang=0", "teller>=", "teller<=", "formule"})
        EXPECT_EQ(kConditionTable[conditionCode(label)].needs, StepNeeds::Nothing) << label;
    for (int c = 11; c <= 16; ++c) EXPECT_EQ(kConditionTable[c].needs, StepNeeds::Loco) << c;
    for (int c : {3, 4, 5, 6, 7, 8, 9, 10, 17, 18, 19, 20, 21}) EXPECT_EQ(kConditionTable[c].needs, StepNeeds::Target) << c;
    for (int c = 0; c < kActionCodes; ++c) {
        const bool loco = (c >= 4 && c <= 11) || (c >= 14 && c <= 16);
        EXPECT_EQ(kActionTable[c].needs == StepNeeds::Loco, loco) << c;
        EXPECT_EQ(isLogicAction(c), c >= 27) << c;
    }
    EXPECT_EQ(actionCode("O"), 34);
    EXPECT_EQ(conditionCode("formule"), 24);
}

}  // namespace
