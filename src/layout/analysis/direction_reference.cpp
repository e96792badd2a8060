#include "layout/analysis/direction_reference.h"

#include <algorithm>

#include "layout/analysis/connection_analysis.h"
#include "shell/config/messages.h"

void sortBlocksByNumber() {
    for (int end = gBlockCount - 1; end > 0; --end) {
        bool swapped = false;
        for (int i = 0; i < end; ++i) {
            if (gBlocks[i + 1]->number < gBlocks[i]->number) {
                gBlocks.swap(i, i + 1);
                swapped = true;
            }
        }
        if (!swapped) return;
    }
}

BlockRec* chooseReferenceBlock() {
    if (gBlockCount == 0) return nullptr;
    sortBlocksByNumber();
    for (int i = 0; i < gBlockCount && i < 5; ++i)
        if (!(gBlocks[i]->flags & 1)) return gBlocks[i];
    showDialogMessage("Er zijn te veel keerlussen", 1);
    return nullptr;
}

void reverseBlock(BlockRec* b) {
    if (b) reverseForDirection(b->points, b->sectionAngles, std::clamp(b->sections, 0, kMaxSections), b);
}
