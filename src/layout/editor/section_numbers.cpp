#include "layout/editor/section_numbers.h"

#include <algorithm>

#include "layout/editor/editor_state.h"
#include "layout/model/layout_model.h"
#include "layout/editor/track_entry.h"

namespace {

constexpr int kMaxContact = 496;

int gRecordedLowest = 0;

int sectionCount(const BlockRec& b) { return std::clamp(b.sections, 0, kMaxSections); }

bool usedBy(const BlockRec& b, int n) {
    for (int s = 1; s <= sectionCount(b); ++s)
        if (b.sectionInputs[s] == n) return true;
    return false;
}

// The block being inserted is not in the table yet but its numbers count.
const BlockRec* pendingBlock() {
    return gInsertingBlock && gSelectedBlock && gBlocks.indexOf(gSelectedBlock) < 0 ? gSelectedBlock : nullptr;
}

bool inUse(int n) {
    if (const BlockRec* b = pendingBlock(); b && usedBy(*b, n)) return true;
    return std::any_of(gBlocks.begin(), gBlocks.end(), [n](const BlockRec* b) { return usedBy(*b, n); });
}

void recordSelectedBlock() {
    gRecordedLowest = 0;
    const BlockRec* b = gSelectedBlock;
    if (!b) return;
    gRecordedLowest = b->sectionInputs[1];
    for (int s = 2; s <= sectionCount(*b); ++s)
        if (b->sectionInputs[s] != 0 && b->sectionInputs[s] < gRecordedLowest) gRecordedLowest = b->sectionInputs[s];
}

}  // namespace

int nextFreeSectionNumber(int start, int step) {
    if (step == 0) {
        recordSelectedBlock();
        return 1;
    }
    int n = (start < 0 ? gRecordedLowest : start) + step;
    while (n >= 1 && n <= kMaxContact && inUse(n)) n += step;
    return n >= 1 && n <= kMaxContact ? n : 0;
}
