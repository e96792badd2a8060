#include "steps/model/step_file_format.h"

#include <algorithm>
#include <utility>

#include "layout/model/geometry.h"
#include "platform/byte_io.h"
#include "steps/model/step_codec.h"
#include "steps/model/step_codes.h"

using vestrel::ByteReader;
using vestrel::ByteWriter;

namespace {

int readVersion(ByteReader& r) {
    uint8_t text[4] = {};
    r.bytes(text, 4);
    if (r.ok() && text[0] == 'V' && text[2] == '.') return 10 * (text[1] - '0') + (text[3] - '0');
    r.seek(0);
    return 0;
}

void resetRunTime(StepProgramRec& p) {
    p.state = 0;
    p.currentStep = 0;
    p.waitLeft = 0;
    p.nextSecond = 0;
    p.boundLoco = nullptr;
}

// Every program's steps lie inside the table and no two programs share a step.
bool runsFitTheTable(std::vector<StepProgramRec>& programs, int stepCount) {
    std::vector<std::pair<int, int>> runs;
    for (StepProgramRec& p : programs) {
        if (p.stepCount == 0) {
            p.firstStep = static_cast<int16_t>(std::clamp<int>(p.firstStep, 0, stepCount));
            continue;
        }
        if (p.firstStep < 0 || p.firstStep + p.stepCount > stepCount) return false;
        runs.emplace_back(p.firstStep, p.firstStep + p.stepCount);
    }
    std::sort(runs.begin(), runs.end());
    for (size_t k = 1; k < runs.size(); ++k)
        if (runs[k].first < runs[k - 1].second) return false;
    return true;
}

bool readSteps(ByteReader& r, int version, int count, std::vector<StepRec>& steps) {
    steps.resize(static_cast<size_t>(count));
    for (StepRec& s : steps) {
        if (!decodeStep(r, s)) return false;
        const int action = convertActionCode(version, s.actionCode);
        if (s.conditionCode >= kConditionCodes || action >= kActionCodes) return false;
        s.actionCode = static_cast<uint8_t>(action);
    }
    return true;
}

bool readFormulas(ByteReader& r, int count, std::vector<FormulaRec>& formulas) {
    formulas.resize(static_cast<size_t>(count));
    for (FormulaRec& f : formulas) {
        if (!decodeFormula(r, f)) return false;
        for (uint8_t t : f.types)
            if (t > kMaxFormulaOperandType) return false;
        if (f.comparison > kMaxFormulaComparison || f.operation > kMaxFormulaOperation) return false;
    }
    return true;
}

}  // namespace

int convertActionCode(int version, int code) {
    switch (version) {
    case 0:
        if (code >= 11) return code + 14;
        if (code >= 9) return code + 3;
        if (code >= 3) return code + 1;
        return code;
    case 1: return code >= 14 ? code + 11 : code;
    case 2: return code >= 18 ? code + 9 : code;
    case 3: return code >= 19 ? code + 8 : code;
    case 4: return code >= 22 ? code + 5 : code;
    case 5: return code >= 26 ? code + 1 : code;
    default: return code;
    }
}

bool readStepFileImage(const std::vector<uint8_t>& bytes, StepFileImage& im) {
    ByteReader r(bytes);
    im = StepFileImage{};
    im.version = readVersion(r);
    const int programs = r.i16();
    const int steps = r.i16();
    const int formulas = im.version >= kStepFileVersion ? r.i16() : 0;
    if (!r.ok() || programs < 0 || programs > kMaxStepPrograms || steps < 0 || steps > kMaxSteps ||
        formulas < 0 || formulas > kMaxFormulas)
        return false;
    im.programs.resize(static_cast<size_t>(programs));
    for (StepProgramRec& p : im.programs) {
        if (!decodeStepProgram(r, p)) return false;
        resetRunTime(p);
    }
    if (!readSteps(r, im.version, steps, im.steps)) return false;
    if (!readFormulas(r, formulas, im.formulas)) return false;
    return runsFitTheTable(im.programs, steps);
}

std::vector<uint8_t> writeStepFileImage(const std::vector<const StepProgramRec*>& programs, LayoutOffset offset) {
    ByteWriter w;
    w.text("V0.6");
    w.i16(static_cast<int16_t>(programs.size()));
    w.i16(static_cast<int16_t>(gStepCount));
    w.i16(static_cast<int16_t>(gFormulaCount));
    for (const StepProgramRec* p : programs) {
        StepProgramRec stored = *p;
        stored.box = {wrappingSub(p->box.left, offset.x), wrappingSub(p->box.top, offset.y),
                      wrappingSub(p->box.right, offset.x), wrappingSub(p->box.bottom, offset.y)};
        encodeStepProgram(w, stored);
    }
    for (const StepRec* s : gSteps) encodeStep(w, *s);
    for (const FormulaRec* f : gFormulas) encodeFormula(w, *f);
    return std::move(w.data());
}
