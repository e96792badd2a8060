// Moving a connecting track or a block: re-entering one end, dragging one inner point or the whole
// polyline. While it moves the record is out of its table, so that the join tests do not find its own
// ends; it goes back into its own slot when the move ends.
#include <memory>

#include "layout/model/block_geometry.h"
#include "layout/analysis/connection_analysis.h"
#include "layout/editor/curve_entry.h"
#include "layout/editor/edit_journal.h"
#include "layout/editor/editor_forms.h"
#include "layout/editor/editor_prompts.h"
#include "layout/editor/editor_state.h"
#include "layout/draw/element_draw.h"
#include "layout/editor/entry_aids.h"
#include "layout/editor/entry_state.h"
#include "layout/model/geometry.h"
#include "layout/editor/polyline_drag.h"
#include "layout/editor/polyline_entry.h"
#include "layout/editor/track_entry.h"
#include "shell/model/app_state.h"
#include "shell/window/mouse_pointer.h"
#include "shell/model/schema_state.h"
#include "shell/window/status_line.h"
#include "layout/editor/turntable_operation.h"

namespace {

struct PolylineMove {
    int index = 0;
    bool whole = false;
    bool reversed = false;
    TurntableRec* turntable = nullptr;  // the turntable whose bridge is moved
};
PolylineMove gMove;

std::unique_ptr<TrackRec> gTakenTrack;
std::unique_ptr<BlockRec> gTakenBlock;

TurntableRec* turntableOf(const TrackRec* track) {
    for (TurntableRec* t : gTurntables)
        if (t->track == track) return t;
    return nullptr;
}

int trackCommit(void* record, char) { return commitTrack(*static_cast<TrackRec*>(record)); }
int blockCommit(void* record, char letter) { return commitBlock(*static_cast<BlockRec*>(record), letter); }

template <class Rec>
struct MoveKind;

template <>
struct MoveKind<TrackRec> {
    static constexpr bool kBlock = false;
    static constexpr int kHint = 0;
    static auto& table() { return gTracks; }
    static bool& flag() { return gMovingTrack; }
    static TrackRec*& selected() { return gSelectedTrack; }
    static TrackRec* scratch() { return gJournalScratch.track; }
    static std::unique_ptr<TrackRec>& taken() { return gTakenTrack; }
    static void draw(TrackRec& t, int erase) { drawTrack(t, erase, 1); }
    static constexpr PolylineCommit kCommit = trackCommit;
    static BlockRec* asBlock(TrackRec&) { return nullptr; }
};

template <>
struct MoveKind<BlockRec> {
    static constexpr bool kBlock = true;
    static constexpr int kHint = 1;
    static auto& table() { return gBlocks; }
    static bool& flag() { return gMovingBlock; }
    static BlockRec*& selected() { return gSelectedBlock; }
    static BlockRec* scratch() { return gJournalScratch.block; }
    static std::unique_ptr<BlockRec>& taken() { return gTakenBlock; }
    static void draw(BlockRec& b, int erase) { drawBlock(b, erase, 1); }
    static constexpr PolylineCommit kCommit = blockCommit;
    static BlockRec* asBlock(BlockRec& b) { return &b; }
};

bool shapeChanged(const BlockRec& now, const BlockRec& before) {
    if (now.sections != before.sections) return true;
    for (int k = 0; k <= kMaxSections; ++k)
        if (!(now.points[k] == before.points[k])) return true;
    return false;
}

void takeTurntableAlong(TrackRec* track) {
    TurntableRec* t = turntableOf(track);
    if (!t) return;
    gMove.turntable = t;
    gTurntableMode = 1;
    gSelectedTurntable = t;
    *gJournalScratch.turntable = *t;
    drawTurntable(*t, 1, 1);
}

template <class Rec>
bool beginMove(int index, int point) {
    using K = MoveKind<Rec>;
    Rec* rec = K::table()[index];
    if (!rec || !allocateJournalScratch()) return false;
    K::flag() = true;
    gMove = {};
    gMove.index = index;
    *K::scratch() = *rec;
    const int lastSlot = K::table().count() - 1;
    K::table().swap(index, lastSlot);
    K::taken() = K::table().takeAt(lastSlot);
    K::selected() = rec;
    K::draw(*rec, 1);
    if constexpr (!K::kBlock) takeTurntableAlong(rec);
    const Polyline line = polylineOf(*rec);
    const int last = *line.last;
    gMove.whole = gMoveWhole != 0;
    gMovingOnePoint = !gMove.whole && point > 0 && point < last;
    showPointEntryHint(gMove.whole ? 3 : (gMovingOnePoint ? 2 : K::kHint));
    if (!gMove.whole && !gMovingOnePoint) {
        // The end being moved is always the last point.
        if (point == 0) {
            reversePolyline(line.points, line.angles, last, K::asBlock(*rec));
            gMove.reversed = true;
        }
        moveMouseToPoint(line.points[last].x, line.points[last].y);
    }
    gMovePointIndex = gMovingOnePoint ? point : last;
    setEntryRange();
    setRubberBands(nullptr, 0);
    setRubberBands(line.points, last);
    showEntryCrosshair();
    gEditMode = kEditRestart;
    return true;
}

// The turntable goes with its bridge: shifted with a whole move, laid out again around a moved end.
void followBridge(const TrackRec& track, const TrackRec& before) {
    TurntableRec& t = *gMove.turntable;
    if (gMove.whole) {
        t.centre[0] += static_cast<float>(track.points[0].x - before.points[0].x);
        t.centre[1] += static_cast<float>(track.points[0].y - before.points[0].y);
    } else {
        layoutTurntableAndTell(t, &track.points[0], &track.points[1]);
    }
}

template <class Rec>
void keepMove(Rec& rec) {
    using K = MoveKind<Rec>;
    Rec& before = *K::scratch();
    gDirtyFlags |= gMovingOnePoint ? 2 : 1;
    if constexpr (K::kBlock) {
        if (shapeChanged(rec, before)) {
            normalizeBlockSections(rec);
            computeBlockGeometry(rec);
        }
    }
    if (!gMove.turntable) journalRecordEdit('w', &rec, &before, gMove.index, gMove.index);
    if constexpr (!K::kBlock) {
        if (gMove.turntable) followBridge(rec, before);
    }
}

template <class Rec>
void undoMove(Rec& rec) {
    using K = MoveKind<Rec>;
    if constexpr (K::kBlock) {
        // Turning it back turns its signals back too.
        if (gMove.reversed) reversePolyline(rec.points, rec.sectionAngles, rec.sections, &rec);
    }
    rec = *K::scratch();
    if (gMove.turntable) *gMove.turntable = *gJournalScratch.turntable;
}

template <class Rec>
int endMove(bool keep) {
    using K = MoveKind<Rec>;
    Rec& rec = *K::selected();
    const bool openDialog = K::kBlock && keep && gEditMode == kEditClickOpens;
    setRubberBands(nullptr, 0);
    eraseEntryCrosshair();
    if (keep)
        keepMove(rec);
    else
        undoMove(rec);
    K::draw(rec, 0);
    K::table().append(std::move(K::taken()));
    K::table().swap(K::table().count() - 1, gMove.index);
    if (gMove.turntable) drawTurntable(*gMove.turntable, 0, 1);
    gTurntableMode = 0;
    gMove = {};
    if (openDialog) {
        gSelectedBlock = K::asBlock(rec);
        showElementDialog(402);
        gEditMode = kEditClickOpens;
    } else {
        gEditMode = kEditIdle;
    }
    K::flag() = false;
    gMovingOnePoint = false;
    clearStatusLine();
    showMousePointer();
    setEntryRange();
    return -1;
}

template <class Rec>
int stepMove() {
    using K = MoveKind<Rec>;
    const Polyline line = polylineOf(*K::selected());
    const bool reEntering = !gMove.whole && !gMovingOnePoint;
    if constexpr (K::kBlock) {
        if (reEntering && (gPendingKey == 'c' || gEditMode == kEditCurve) && enterCurve(line) == 1) return 1;
    }
    if (gEditMode == kEditFollow || gEditMode == kEditRestart) {
        int mode = 0;
        do {
            if (gMove.whole)
                mode = dragPolyline(line);
            else if (gMovingOnePoint)
                mode = dragPolylinePoint(line, gMovePointIndex);
            else
                mode = enterPolyline(line, K::kCommit);
        } while (mode == static_cast<int>(kEditRestart));
    }
    if (gEditMode == kEditCommitted || (K::kBlock && gEditMode == kEditClickOpens)) return endMove<Rec>(true);
    if (gEditMode == kEditCancelled) return endMove<Rec>(false);
    return 1;
}

template <class Rec>
int movePolyline(int index, int point) {
    if (!MoveKind<Rec>::flag() && !beginMove<Rec>(index, point)) return -1;
    return stepMove<Rec>();
}

}  // namespace

int moveTrack(int index, int point) { return movePolyline<TrackRec>(index, point); }
int moveBlock(int index, int point) { return movePolyline<BlockRec>(index, point); }
