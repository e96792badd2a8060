#pragma once
// The seed corpora of fuzz/ are written from the tests' hand-made fixtures, only on request:
// VESTREL_WRITE_FUZZ_SEEDS=<repository>/fuzz/corpus. The harnesses' fixed files go to fuzz/fixed beside it.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "test_support.h"

namespace fuzzseeds {

// The corpus folder, or null when no seeds are asked for.
inline const char* folder() { return std::getenv("VESTREL_WRITE_FUZZ_SEEDS"); }

// Writes one seed into the corpus of the harness fuzz_<harness>.
inline void write(const std::string& harness, const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string dir = std::string(folder()) + "/" + harness;
    std::filesystem::create_directories(dir);
    testsupport::writeBytes(dir + "/" + name, bytes);
}

// Writes one of the harnesses' fixed files.
inline void writeFixed(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string dir = std::string(folder()) + "/../fixed";
    std::filesystem::create_directories(dir);
    testsupport::writeBytes(dir + "/" + name, bytes);
}

}  // namespace fuzzseeds
