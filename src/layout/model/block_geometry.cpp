#include "layout/model/block_geometry.h"

#include <algorithm>
#include <cmath>

namespace {
int sectionCount(const BlockRec& b) { return std::clamp(b.sections, 0, kMaxSections); }
}  // namespace

void computeBlockGeometry(BlockRec& b) {
    float total = 0;
    for (int s = 0; s < sectionCount(b); ++s) {
        const float dx = static_cast<float>(b.points[s + 1].x) - static_cast<float>(b.points[s].x);
        const float dy = static_cast<float>(b.points[s + 1].y) - static_cast<float>(b.points[s].y);
        const float length = std::sqrt(dx * dx + dy * dy);
        b.sectionLengths[s] = length;
        b.sectionDirections[s][0] = length > 0 ? dx / length : 0;
        b.sectionDirections[s][1] = length > 0 ? dy / length : 0;
        total += length;
    }
    // The stored length is 16 bits: a block drawn across far coordinates (a damaged file or peer) keeps
    // the longest length it can hold.
    b.totalLength = static_cast<int16_t>(std::min(total + 0.5f, 32767.0f));
}

void normalizeBlockSections(BlockRec& b) {
    const int count = sectionCount(b);
    b.state &= static_cast<uint8_t>(~kBlockIncomplete);
    if (count < 1) return;
    uint8_t* kind = b.sectionKinds;
    int16_t* contact = b.sectionInputs + 1;  // contact[s] belongs to kind[s]
    kind[count - 1] = 6;
    for (int c = 1; c < count; ++c) {
        const int p = c - 1;
        if (kind[p] > 3 && kind[c] < kind[p]) {
            kind[c] = kind[p];
            contact[c] = contact[p];
        } else if (kind[c] == kind[p] && contact[c] != contact[p]) {
            contact[c] = contact[p];
        }
        if ((kind[p] != 0 && contact[p] == 0) || (kind[c] != 0 && contact[c] == 0)) b.state |= kBlockIncomplete;
    }
}
