// Turning a track or block around, so that its first point becomes its last.
#include <utility>

#include "layout/analysis/connection_analysis.h"
#include "layout/model/geometry.h"

namespace {

// A section kind seen from the other end: stop, station and short-station kinds trade places
// (1 <-> 6, 2 <-> 5, 3 <-> 4); 0 (no occupancy report) stays.
uint8_t kindFromOtherEnd(uint8_t kind) { return kind == 0 ? 0 : static_cast<uint8_t>(7 - kind); }

// Sections s and t (1-based) trade places.
void swapSections(BlockRec* b, int s, int t) {
    uint8_t kindS = b->sectionKinds[s - 1];
    b->sectionKinds[s - 1] = kindFromOtherEnd(b->sectionKinds[t - 1]);
    if (t == s) return;
    b->sectionKinds[t - 1] = kindFromOtherEnd(kindS);
    std::swap(b->sectionInputs[s], b->sectionInputs[t]);
}

void turnSignalsOf(const BlockRec* b) {
    for (SignalRec* s : gSignals) {
        if (!s->block || s->block->number != b->number) continue;
        if (s->direction == 'H')
            s->direction = 'T';
        else if (s->direction == 'T')
            s->direction = 'H';
    }
}

}  // namespace

void reversePolyline(DiagramPoint* points, int32_t* angles, int last, BlockRec* block) {
    if (!points || last < 1) return;
    for (int i = 0; i < (last + 1) / 2; ++i) {
        std::swap(points[i], points[last - i]);
        if (angles) std::swap(angles[i], angles[last - 1 - i]);
        if (block) swapSections(block, i + 1, last - i);
    }
    if (angles)
        for (int i = 0; i < last; ++i) angles[i] = normalizeAngle(angles[i] + 180);
    if (block && block->number) turnSignalsOf(block);
}

void reverseForDirection(DiagramPoint* points, int32_t* angles, int last, BlockRec* block) {
    reversePolyline(points, angles, last, block);
    gDirtyFlags |= 2;
}
