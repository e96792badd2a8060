// A locomotive file from anywhere, on the fixed layout: it loads (or is refused); what the program then
// saves loads again and saves the same bytes. A file of an older version is converted by its first save
// (an older wagon's length in units becomes centimetres, from which the current version derives the
// units, possibly one less): the comparison starts after that first round.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz_fixed.h"  // before Qt
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzsupport::setUp();
    fuzzfixed::loadLayout();
    gLocoFileName = "fest.loc";
    fuzzsupport::writeFile("fest.loc", data, size);
    if (loadLocoFile(0) != 1) return 0;
    if (saveLocoFile() != 1) std::abort();
    if (size < 4 || std::memcmp(data, "V1.1", 4) != 0) {
        if (loadLocoFile(0) != 1 || saveLocoFile() != 1) std::abort();
    }
    const std::vector<uint8_t> first = fuzzsupport::readFile("fest.loc");
    if (loadLocoFile(0) != 1) std::abort();  // what the program writes must load
    if (saveLocoFile() != 1) std::abort();
    fuzzsupport::expectSame(first, fuzzsupport::readFile("fest.loc"));  // and save the same bytes
    return 0;
}
