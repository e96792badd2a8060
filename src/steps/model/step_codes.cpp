#include "steps/model/step_codes.h"

#include <algorithm>

namespace {
constexpr StepNeeds N = StepNeeds::Nothing;
constexpr StepNeeds L = StepNeeds::Loco;
constexpr StepNeeds T = StepNeeds::Target;

int clampTo(const StepCodeInfo& info, int value, int stepCount) {
    if (info.maxValue == kValueFormula) return value;
    const int top = info.maxValue == kValueStepCount ? stepCount : info.maxValue;
    return std::clamp(value, 0, std::max(top, 0));
}
}  // namespace

const StepCodeInfo kConditionTable[kConditionCodes] = {
    {"geen", 0, N},           {"ingang=1", 496, N},      {"ingang=0", 496, N},      {"uitgang=R", 9999, T},
    {"uitgang=G", 9999, T},   {"bezet=1", 200, T},       {"bezet=0", 200, T},       {"geres.=1", 200, T},
    {"geres.=0", 200, T},     {"loc.=1", 9999, T},       {"loc.=0", 9999, T},       {"snelheid>=", 255, L},
    {"snelheid<=", 255, L},   {"heen", 0, L},            {"terug", 0, L},           {"vooruit", 0, L},
    {"achteruit", 0, L},      {"pos.uitg.R=1", 9999, T}, {"pos.uitg.R=0", 9999, T}, {"pos.uitg.G=1", 9999, T},
    {"pos.uitg.G=0", 9999, T}, {"Func.dec.", 9999, T},   {"teller>=", 255, N},      {"teller<=", 255, N},
    {"formule", kValueFormula, N},
};

const StepCodeInfo kActionTable[kActionCodes] = {
    {"geen", 0, N},        {"stap", kValueStepCount, N}, {"uitgang=R", 9999, N}, {"uitgang=G", 9999, N},
    {"snelheid", 255, L},  {"rangeer", 0, L},            {"manueel", 0, L},      {"auto", 0, L},
    {"traject", 0, L},     {"richting", 0, L},           {"richting=V", 0, L},   {"richting=A", 0, L},
    {"functie=1", 20, N},  {"functie=0", 20, N},         {"force=1", 0, L},      {"force2=1", 0, L},
    {"force=0", 0, L},     {"ontkoppel", 20, N},         {"sync", 496, N},       {"syncV", 496, N},
    {"syncA", 496, N},     {"vul%", 100, N},             {"loc", 9999, N},       {"teller=", 255, N},
    {"teller+", 255, N},   {"teller-", 255, N},          {"formule", kValueFormula, N},
    {"(", 0, N},           {"A(", 0, N},                 {"O(", 0, N},           {")", 0, N},
    {"A)", 0, N},          {"O)", 0, N},                 {"A", 0, N},            {"O", 0, N},
};

int clampConditionValue(int code, int value) {
    if (code < 0 || code >= kConditionCodes) return 0;
    return clampTo(kConditionTable[code], value, 0);
}

int clampActionValue(int code, int value, int programStepCount) {
    if (code < 0 || code >= kActionCodes) return 0;
    return clampTo(kActionTable[code], value, programStepCount);
}
