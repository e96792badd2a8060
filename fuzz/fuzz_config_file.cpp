// A configuration file from anywhere: it is read and rewritten; the rewritten file read again is
// rewritten byte for byte the same.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz_support.h"
#include "layout/model/layout_model.h"
#include "shell/config/config_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzsupport::setUp();
    fuzzsupport::writeFile("vestrel.cfg", data, size);
    gLayoutFileName.clear();  // the file names the layout
    syncConfigFile();
    const std::vector<uint8_t> first = fuzzsupport::readFile("vestrel.cfg");
    gLayoutFileName.clear();
    syncConfigFile();
    if (fuzzsupport::readFile("vestrel.cfg") != first) std::abort();
    return 0;
}
