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
