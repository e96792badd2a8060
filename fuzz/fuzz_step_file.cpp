// A step-program file from anywhere, on the fixed layout: it loads (or is refused with an empty store);
// what the program then saves loads again and saves the same bytes. The boxes, wherever the file put
// them, are then drawn with their step numbers, hit, moved and turned.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz_fixed.h"  // before Qt
#include "fuzz_support.h"
#include "layout/draw/diagram_canvas.h"
#include "layout/draw/element_colours.h"
#include "operation/control/element_picks.h"
#include "platform/canvas.h"
#include "shell/model/input_state.h"
#include "steps/draw/step_number.h"
#include "steps/editor/step_boxes.h"
#include "steps/files/step_file.h"
#include "steps/model/step_program.h"

namespace {

void useTheBoxes() {
    vestrel::Canvas diagram(640, 480, kBackgroundColour);
    gDiagramCanvas = &diagram;
    for (StepProgramRec* p : gStepPrograms) p->state = 1;
    drawStepBoxes(0);
    for (const StepProgramRec* p : gStepPrograms) drawStepNumber(p);
    for (const StepProgramRec* p : gStepPrograms) {
        gMousePoint = {p->box.right, p->box.bottom};
        PickHit hit;
        pickStepBoxAt(-1, hit);
    }
    offsetStepBoxes(INT32_MAX, INT32_MIN);
    rotateStepBoxes(90, INT32_MIN, 7);
    drawStepBoxes(0);
    gDiagramCanvas = nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzsupport::setUp();
    fuzzfixed::loadLayout();
    fuzzsupport::writeFile("fest.stp", data, size);
    if (loadStepProgramFile(0) != 1) return 0;
    if (saveStepProgramFile() != 1) std::abort();
    const std::vector<uint8_t> first = fuzzsupport::readFile("fest.stp");
    if (loadStepProgramFile(0) != 1) std::abort();
    if (saveStepProgramFile() != 1) std::abort();
    fuzzsupport::expectSame(first, fuzzsupport::readFile("fest.stp"));
    useTheBoxes();
    clearStepPrograms();
    return 0;
}
