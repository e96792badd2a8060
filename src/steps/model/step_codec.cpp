#include "steps/model/step_codec.h"

#include <algorithm>

using vestrel::ByteReader;
using vestrel::ByteWriter;

namespace {
constexpr int kNameField = kStepProgramNameMax + 1;
}

void encodeStepProgram(ByteWriter& w, const StepProgramRec& p) {
    const size_t n = std::min<size_t>(p.name.size(), kStepProgramNameMax);
    w.bytes(p.name.data(), n);
    w.zeros(kNameField - n);
    w.u8(p.number);
    w.u8(p.stepCount);
    w.u8(p.currentStep);
    w.u8(p.state);
    w.u8(p.counter);
    w.zeros(2);
    w.i16(p.firstStep);
    w.i16(p.waitLeft);
    w.i32(p.box.left);
    w.i32(p.box.top);
    w.i32(p.box.right);
    w.i32(p.box.bottom);
    w.i32(p.nextSecond);
    w.zeros(4);  // the bound locomotive has no meaning outside the running program
}

bool decodeStepProgram(ByteReader& r, StepProgramRec& p) {
    char name[kNameField] = {};
    r.bytes(name, kNameField);
    p.name.assign(name, std::find(name, name + kStepProgramNameMax, '\0'));
    p.number = r.u8();
    p.stepCount = r.u8();
    p.currentStep = r.u8();
    p.state = r.u8();
    p.counter = r.u8();
    r.skip(2);
    p.firstStep = r.i16();
    p.waitLeft = r.i16();
    p.box.left = r.i32();
    p.box.top = r.i32();
    p.box.right = r.i32();
    p.box.bottom = r.i32();
    p.nextSecond = r.i32();
    r.skip(4);
    p.boundLoco = nullptr;
    return r.ok();
}

void encodeStep(ByteWriter& w, const StepRec& s) {
    w.i16(s.conditionValue);
    w.i16(s.actionValue);
    w.i16(s.time);
    w.i16(s.resolvedTarget);
    w.u8(s.conditionCode);
    w.u8(s.actionCode);
}

bool decodeStep(ByteReader& r, StepRec& s) {
    s.conditionValue = r.i16();
    s.actionValue = r.i16();
    s.time = r.i16();
    s.resolvedTarget = r.i16();
    s.conditionCode = r.u8();
    s.actionCode = r.u8();
    return r.ok();
}

void encodeFormula(ByteWriter& w, const FormulaRec& f) {
    w.u8(f.position);
    w.u8(f.flags);
    for (uint8_t t : f.types) w.u8(t);
    w.u8(f.comparison);
    w.u8(f.operation);
    w.zeros(5);
    for (float v : f.entered) w.f32(v);
    for (float v : f.current) w.f32(v);
    w.f32(f.result);
}

bool decodeFormula(ByteReader& r, FormulaRec& f) {
    f.position = r.u8();
    f.flags = r.u8();
    for (uint8_t& t : f.types) t = r.u8();
    f.comparison = r.u8();
    f.operation = r.u8();
    r.skip(5);
    for (float& v : f.entered) v = r.f32();
    for (float& v : f.current) v = r.f32();
    f.result = r.f32();
    return r.ok();
}
