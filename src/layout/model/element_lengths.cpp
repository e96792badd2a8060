#include "layout/model/element_lengths.h"

#include <cmath>

#include "operation/model/length_units.h"

int trackLength(const TrackRec& track) {
    float units = 0;
    for (int s = 0; s < track.segments && s < 3; ++s) {
        const float dx = static_cast<float>(track.points[s + 1].x - track.points[s].x);
        const float dy = static_cast<float>(track.points[s + 1].y - track.points[s].y);
        units += std::sqrt(dx * dx + dy * dy);
    }
    return toCentimetresRounded(units);
}

int sectionKindCentimetres(const BlockRec& block, int kind) {
    double units = 0;
    for (int s = 0; s < block.sections && s < kMaxSections; ++s)
        if (block.sectionKinds[s] == kind) units += block.sectionLengths[s];
    return toCentimetresRounded(units);
}

int sectionKindLength(const BlockRec& block, int kind) {
    float units = 0;
    for (int s = 0; s < block.sections && s < kMaxSections; ++s)
        if (block.sectionKinds[s] == kind) units += block.sectionLengths[s];
    return static_cast<int>(units + 0.5f);
}

int markSectionsOfKind(BlockRec& block, int kind) {
    for (int s = 0; s < block.sections && s < kMaxSections; ++s)
        if (block.sectionKinds[s] == kind)
            block.occupiedSections = static_cast<int16_t>(block.occupiedSections | (1 << s));
    return sectionKindCentimetres(block, kind);
}
