#include "layout/editor/track_entry.h"

#include <algorithm>

#include "layout/model/block_geometry.h"
#include "layout/editor/curve_entry.h"
#include "layout/draw/diagram_area.h"
#include "layout/editor/edit_journal.h"
#include "layout/editor/editor_forms.h"
#include "layout/editor/editor_prompts.h"
#include "layout/editor/editor_state.h"
#include "layout/draw/element_draw.h"
#include "layout/editor/entry_aids.h"
#include "layout/editor/entry_state.h"
#include "layout/model/geometry.h"
#include "layout/editor/polyline_entry.h"
#include "layout/editor/section_numbers.h"
#include "shell/model/app_state.h"
#include "shell/config/messages.h"
#include "shell/window/mouse_pointer.h"
#include "shell/window/status_line.h"
#include "layout/editor/turntable_operation.h"

bool gInsertingTrack = false;
bool gInsertingBlock = false;
bool gMovingTrack = false;
bool gMovingBlock = false;

namespace {

TrackRec* gTrackInWork = nullptr;  // the track being entered, in gTracks once committed

// The first call of an insertion: its prompt, the pointer at the middle of the canvas with the crosshair.
void beginInsertion(bool& flag, int hint) {
    flag = true;
    showPointEntryHint(hint);
    setEntryRange();
    moveMouseToPoint(gCanvasCentre.x, gCanvasCentre.y);
    setRubberBands(nullptr, 0);
    showEntryCrosshair();
    gEditMode = kEditNew;
}

int endInsertion(bool& flag, uint32_t mode) {
    setRubberBands(nullptr, 0);
    eraseEntryCrosshair();
    gEditMode = mode;
    flag = false;
    clearStatusLine();
    showMousePointer();
    return -1;
}

void newTrack() {
    if (gTracks.full()) {
        showDialogMessage("Maximum aantal verbindingssporen bereikt !", 1);
        gEditMode = kEditCancelled;
        return;
    }
    if (gTurntableMode && gTurntables.full()) {
        showDialogMessage("Maximum aantal draaischijven bereikt !", 1);
        gEditMode = kEditCancelled;
        return;
    }
    gEntered.track = std::make_unique<TrackRec>();
    gSelectedTrack = gTrackInWork = gEntered.track.get();
    if (gTurntableMode) {
        gEntered.turntable = std::make_unique<TurntableRec>();
        gSelectedTurntable = gEntered.turntable.get();
        gTrackInWork->flags |= 2;
    }
    gEditMode = kEditRestart;
}

int trackCommit(void* record, char) { return commitTrack(*static_cast<TrackRec*>(record)); }
int blockCommit(void* record, char letter) { return commitBlock(*static_cast<BlockRec*>(record), letter); }

void runPolyline(const Polyline& line, PolylineCommit commit) {
    if (gEditMode == kEditRefused || gEditMode == kEditCommitted || gEditMode == kEditCancelled) return;
    while (enterPolyline(line, commit) == static_cast<int>(kEditRestart)) {
    }
}

// A track is in gTracks now: it is drawn for good and journalled, and the next input begins another one.
void trackStored(TrackRec& t) {
    setRubberBands(nullptr, 0);
    eraseEntryCrosshair();
    drawTrack(t, 0, 1);
    showEntryCrosshair();
    journalRecordEdit('t', &t, static_cast<const TrackRec*>(nullptr), gTracks.indexOf(&t), 0);
    gEditMode = kEditNew;
}

void turntableStored(TurntableRec& t) {
    setRubberBands(nullptr, 0);
    drawTurntable(t, 0, 1);
    gTurntableMode = 0;
}

void dropEnteredTrack() {
    if (gSelectedTrack == gEntered.track.get()) gSelectedTrack = nullptr;
    if (gSelectedTurntable == gEntered.turntable.get()) gSelectedTurntable = nullptr;
    gEntered.track.reset();
    gEntered.turntable.reset();
    gTurntableMode = 0;
}

void setUpTurntable(TurntableRec& t, TrackRec& track) {
    t.number = static_cast<int16_t>(freeTurntableNumber());
    t.positions = 12;
    t.currentPosition = 1;
    t.secondPosition = 1;
    t.bridgeSpeed = 50;
    t.pulseTime = 2;
    t.positionOfConnection[0] = 1;
    t.track = &track;
    layoutTurntableAndTell(t, &track.points[0], &track.points[1]);
}

void newBlock() {
    if (gBlocks.full()) {
        showDialogMessage("Maximum aantal blokken bereikt !", 1);
        gEditMode = kEditCancelled;
        return;
    }
    gEntered.block = std::make_unique<BlockRec>();
    gSelectedBlock = gEntered.block.get();
    gEditMode = kEditRestart;
}

int highestBlockNumber() {
    int highest = 0;
    for (const BlockRec* b : gBlocks) highest = std::max<int>(highest, b->number);
    return highest;
}

// A new block: the properties of every new block, a stop section with a contact at each end.
void setUpNewBlock(BlockRec& b, char direction) {
    b.number = static_cast<int16_t>(highestBlockNumber() + 1);
    b.speed = 100;
    b.waitTime = 0;
    b.allowedDirection = direction ? direction : 'B';
    b.flags &= static_cast<uint8_t>(~0x1F);
    b.allowedTrains = 0x8F;
    b.bendCorrection = 0;
    b.outwardSlope = 4;
    b.returnSlope = 4;
    std::fill(std::begin(b.sectionInputs), std::end(b.sectionInputs), 0);
    std::fill(std::begin(b.sectionKinds), std::end(b.sectionKinds), 0);
    const int last = b.sections;
    b.sectionInputs[1] = static_cast<int16_t>(nextFreeSectionNumber(-1, 1));
    b.sectionInputs[last] = static_cast<int16_t>(nextFreeSectionNumber(b.sectionInputs[1], 1));
    b.sectionKinds[0] = 1;
    b.sectionKinds[last - 1] = 6;
    computeBlockGeometry(b);
}

}  // namespace

int freeTurntableNumber() {
    for (int n = 1; n <= gTurntables.capacity; ++n)
        if (std::none_of(gTurntables.begin(), gTurntables.end(), [n](const TurntableRec* t) { return t->number == n; }))
            return n;
    return 0;
}

int commitTrack(TrackRec& track) {
    if (gMovingTrack) return 1;
    track.flags &= static_cast<uint8_t>(~1);
    gTracks.append(std::move(gEntered.track));
    gDirtyFlags |= 1;
    if (gTurntableMode && gEntered.turntable) {
        TurntableRec& t = *gEntered.turntable;
        setUpTurntable(t, track);
        gTurntables.append(std::move(gEntered.turntable));
        gSelectedTurntable = &t;
        showElementDialog(407);
    }
    return 1;
}

int commitBlock(BlockRec& block, char direction) {
    if (block.sections == 1) {
        showDialogMessage("Blokken moeten bestaan uit minstens 2 secties (lijnstukken) !", 1);
        return 0;
    }
    if (gMovingBlock) {
        if (block.sectionInputs[1] == 0 || block.sectionInputs[block.sections] == 0) gEditMode = kEditClickOpens;
        return 1;
    }
    setUpNewBlock(block, direction);
    gSelectedBlock = &block;
    showElementDialog(402);
    return 1;
}

int insertTrack() {
    if (!gInsertingTrack) beginInsertion(gInsertingTrack, 0);
    if (gEditMode == kEditNew) newTrack();
    if (gTrackInWork) runPolyline(polylineOf(*gTrackInWork), trackCommit);
    if (gEditMode == kEditCommitted && gTrackInWork) {
        TrackRec& track = *gTrackInWork;
        gTrackInWork = nullptr;
        if (track.flags & 2) {
            turntableStored(*gTurntables[gTurntableCount - 1]);
            return endInsertion(gInsertingTrack, kEditClickOpens);
        }
        trackStored(track);
    }
    if (gEditMode == kEditCancelled) {
        dropEnteredTrack();
        gTrackInWork = nullptr;
        return endInsertion(gInsertingTrack, kEditIdle);
    }
    return 1;
}

int insertBlock() {
    if (gInsertingBlock && gEntered.block && (gPendingKey == 'c' || gEditMode == kEditCurve) &&
        enterCurve(polylineOf(*gEntered.block)) == 1)
        return 1;
    if (!gInsertingBlock) beginInsertion(gInsertingBlock, 1);
    if (gEditMode == kEditNew) newBlock();
    if (gEntered.block) runPolyline(polylineOf(*gEntered.block), blockCommit);
    if (gEditMode == kEditCancelled) {
        if (gSelectedBlock == gEntered.block.get()) gSelectedBlock = nullptr;
        gEntered.block.reset();
        return endInsertion(gInsertingBlock, kEditIdle);
    }
    return 1;
}
