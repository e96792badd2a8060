// An edit journal from anywhere on the fixed layout: every entry undone, then redone, as far as they go
// (each walk bounded); the layout is then drawn whole, saved, loaded, drawn and saved again to the same
// bytes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz_fixed.h"  // before Qt
#include "layout/model/layout_file_format.h"
#include "fuzz_support.h"
#include "fuzz_redraw.h"
#include "layout/editor/edit_journal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzsupport::setUp();
    fuzzfixed::loadLayout();
    fuzzsupport::writeFile(kEditJournalFile, data, size);
    journalTruncate(static_cast<int32_t>(size));  // every entry done
    for (int k = 0; k < 100 && journalUndoRedo(0) > 0; ++k) {}
    for (int k = 0; k < 100 && journalUndoRedo(1) > 0; ++k) {}
    fuzzsupport::redrawAtLoadedSize();
    const std::vector<uint8_t> first = writeLayoutImage();
    fuzzsupport::writeFile("fest.vtl", first.data(), first.size());
    if (loadLayoutFile() != 1) std::abort();
    fuzzsupport::redrawAtLoadedSize();
    fuzzsupport::expectSame(first, writeLayoutImage());
    return 0;
}
