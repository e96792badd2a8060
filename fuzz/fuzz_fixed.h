#pragma once
// The fixed files that harnesses of a layout's companion files run on: a layout with blocks, turnouts,
// signals, an output, an input, a step box, a turntable and connections (fuzz/fixed/layout.vtl), and a
// locomotive file with trains on it (fuzz/fixed/locos.loc). Include before Qt: the layout records have a
// field that Qt's keywords would take.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "layout/files/layout_file.h"
#include "layout/model/layout_model.h"
#include "operation/files/loco_file.h"
#include "operation/model/train_model.h"
#include "shell/model/app_state.h"

namespace fuzzfixed {

inline std::vector<uint8_t> readWhole(const char* path) {
    std::vector<uint8_t> out;
    std::FILE* f = std::fopen(path, "rb");
    if (!f) std::abort();
    int c;
    while ((c = std::fgetc(f)) != EOF) out.push_back(static_cast<uint8_t>(c));
    std::fclose(f);
    return out;
}

inline void put(const char* name, const std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(name, "wb");
    if (!f) std::abort();
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// Loads the fixed layout afresh as "fest.vtl" (no companion files); the trains tables emptied.
inline void loadLayout() {
    static const std::vector<uint8_t> bytes = readWhole(VESTREL_FUZZ_FIXED "/layout.vtl");
    clearTrainTables();
    for (const char* companion : {"fest.loc", "fest.trj", "fest.stp", "fest.fdc"}) std::remove(companion);
    gLayoutFileName = "fest.vtl";
    put("fest.vtl", bytes);
    if (loadLayoutFile() != 1) std::abort();
}

// Loads the fixed locomotive file ("fest.loc") onto the fixed layout.
inline void loadLocos() {
    static const std::vector<uint8_t> bytes = readWhole(VESTREL_FUZZ_FIXED "/locos.loc");
    gLocoFileName = "fest.loc";
    put("fest.loc", bytes);
    if (loadLocoFile(0) != 1) std::abort();
    // Without a train on the track no input ever reaches one: the fixed files are wrong.
    if (gLocsOnTrackCount == 0) {
        std::fputs("fuzz/fixed/locos.loc puts no train on the track of fuzz/fixed/layout.vtl\n", stderr);
        std::abort();
    }
}

}  // namespace fuzzfixed
