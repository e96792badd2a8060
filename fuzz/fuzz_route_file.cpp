// A route file from anywhere, on the fixed layout: it loads (or is refused); what the program then saves
// loads again and saves the same bytes. A file of the old version (no version text) is taken with its
// connection indexes as stored and the user is asked to check it; its lines are checked against the
// layout only when the saved file is loaded (with a message when one changes), so the comparison starts
// after that first round.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz_fixed.h"  // before Qt
#include "fuzz_support.h"
#include "operation/files/route_file_io.h"
#include "operation/model/route_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzsupport::setUp();
    fuzzfixed::loadLayout();
    fuzzsupport::writeFile("fest.trj", data, size);
    loadRouteFile();
    if (saveRouteFile() != 1) std::abort();
    if (size < 4 || std::memcmp(data, "V0.1", 4) != 0) {
        loadRouteFile();
        if (saveRouteFile() != 1) std::abort();
    }
    const std::vector<uint8_t> first = fuzzsupport::readFile("fest.trj");
    loadRouteFile();
    if (saveRouteFile() != 1) std::abort();
    fuzzsupport::expectSame(first, fuzzsupport::readFile("fest.trj"));
    clearRoutes();
    return 0;
}
