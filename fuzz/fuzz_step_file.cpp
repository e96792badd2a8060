// A step-program file from anywhere, on the fixed layout: it loads (or is refused with an empty store);
// what the program then saves loads again and saves the same bytes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz_fixed.h"  // before Qt
#include "fuzz_support.h"
#include "steps/files/step_file.h"

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
    clearStepPrograms();
    return 0;
}
