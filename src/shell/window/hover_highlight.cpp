// The track or block sections that the hover information highlights on the diagram.
#include "layout/model/display_settings.h"
#include "layout/editor/editor_state.h"
#include "layout/draw/element_draw.h"
#include "layout/model/element_lengths.h"
#include "shell/model/app_state.h"
#include "shell/window/hover_info.h"

BlockRec* gHoverBlock = nullptr;
TrackRec* gHoverTrack = nullptr;
int gHoverSectionKind = 0;

namespace {

constexpr uint8_t kBlockHighlighted = 0x80;  // block state: drawn with its hovered sections marked
constexpr uint8_t kTrackMarked = 0x80;       // track vehicle flags: drawn in the mark colour

// The block is drawn with the sections of the hovered kind shown as occupied.
void highlightBlockSections(BlockRec& b, int kind) {
    markSectionsOfKind(b, kind);
    const uint8_t feedback = gShowBlockFeedback;
    gShowBlockFeedback = 1;
    drawBlock(b, 0, 0);
    gShowBlockFeedback = feedback;
    b.state |= kBlockHighlighted;
}

void unhighlightBlock(BlockRec& b) {
    b.occupiedSections = 0;
    if (!(b.state & kBlockHighlighted)) return;
    const bool inBlockDialog = gActiveDialog == 6 && gSelectedBlock == &b;
    if (!inBlockDialog) drawBlock(b, 0, 0);
    b.state &= static_cast<uint8_t>(~kBlockHighlighted);
}

void unhighlightTrack(TrackRec& t) {
    if (!(t.vehicleFlags & kTrackMarked)) return;
    t.vehicleFlags &= static_cast<uint8_t>(~kTrackMarked);
    drawTrack(t, 0, 0);
}

}  // namespace

void highlightHoverElement(const HoverHit& hit) {
    if (hit.code == 401) {
        hit.track->vehicleFlags |= kTrackMarked;
        drawTrack(*hit.track, 0, 0);
    } else if (hit.code == 402) {
        const int kind = hit.block->sectionKinds[hit.segment];
        if (hit.block != gHoverBlock || kind != gHoverSectionKind) highlightBlockSections(*hit.block, kind);
    }
}

void updateHoverHighlight(const HoverHit& hit) {
    BlockRec* block = hit.code == 402 ? hit.block : nullptr;
    TrackRec* track = hit.code == 401 ? hit.track : nullptr;
    if (gHoverReset) {
        // A layout was loaded: the remembered elements may be gone.
        --gHoverReset;
        gHoverBlock = nullptr;
        gHoverTrack = nullptr;
    }
    if (gHoverBlock && gHoverBlock != block) unhighlightBlock(*gHoverBlock);
    if (gHoverTrack && gHoverTrack != track) unhighlightTrack(*gHoverTrack);
    if (block) block->occupiedSections = 0;
    gHoverBlock = block;
    gHoverSectionKind = block ? block->sectionKinds[hit.segment] : 0;
    gHoverTrack = track;
}
