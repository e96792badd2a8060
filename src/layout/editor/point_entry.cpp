#include "layout/editor/point_entry.h"

#include <memory>
#include <type_traits>

#include "layout/draw/diagram_area.h"
#include "layout/editor/editor_prompts.h"
#include "layout/editor/editor_state.h"
#include "layout/editor/entry_aids.h"
#include "layout/editor/placement_loop.h"
#include "layout/editor/point_kinds.h"
#include "layout/frame/render.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"
#include "shell/config/messages.h"
#include "shell/window/mouse_pointer.h"
#include "shell/model/schema_state.h"
#include "shell/window/status_line.h"

bool gInsertingTurnout = false;
bool gInsertingSignal = false;
bool gInsertingOutput = false;
bool gInsertingInput = false;
bool gInsertingStepBox = false;
bool gMovingTurnout = false;
bool gMovingSignal = false;
bool gMovingOutput = false;
bool gMovingInput = false;
bool gMovingStepBox = false;

namespace {

// The placement loop shifts the points of an outline array; the records keep theirs in fields of their
// own, so the loop works on a copy that goes back into the record before every drawing and commit.
template <class Rec>
struct Placed {
    Rec* rec = nullptr;
    DiagramPoint points[5];
};

template <class Rec>
void drawPlaced(void* element) {
    auto* placed = static_cast<Placed<Rec>*>(element);
    PointKind<Rec>::setPoints(*placed->rec, placed->points);
    PointKind<Rec>::draw(*placed->rec, 0, 0);
}

template <class Rec>
int commitPlaced(void* element) {
    auto* placed = static_cast<Placed<Rec>*>(element);
    PointKind<Rec>::setPoints(*placed->rec, placed->points);
    const int accepted = PointKind<Rec>::commit(*placed->rec);
    PointKind<Rec>::getPoints(*placed->rec, placed->points);
    return accepted;
}

template <class Rec>
void runLoop(Rec& rec) {
    using K = PointKind<Rec>;
    Placed<Rec> placed;
    placed.rec = &rec;
    K::getPoints(rec, placed.points);
    placeElementLoop(&placed, placed.points, K::kPoints, K::angle(rec), drawPlaced<Rec>, commitPlaced<Rec>);
    K::setPoints(rec, placed.points);
    if (gEditMode == kEditCancelled) forgetEntryCrosshair();  // the loop erased it
}

template <class Rec>
void newPoint() {
    using K = PointKind<Rec>;
    if (K::table().full()) {
        showDialogMessage(K::kFull, 1);
        gEditMode = kEditCancelled;
        return;
    }
    K::entered() = std::make_unique<Rec>();
    K::begin(*K::entered());
    K::selected() = K::entered().get();
    gEditMode = kEditRestart;
}

int endPointOperation(bool& flag) {
    eraseEntryCrosshair();
    gEditMode = kEditIdle;
    flag = false;
    clearStatusLine();
    showMousePointer();
    setEntryRange();
    return -1;
}

template <class Rec>
int insertPoint() {
    using K = PointKind<Rec>;
    if (!K::inserting()) {
        K::inserting() = true;
        showPlaceHint();
        setEntryRange();
        moveMouseToPoint(gCanvasCentre.x, gCanvasCentre.y);
        showEntryCrosshair();
        gEditMode = kEditNew;
    }
    if (gEditMode == kEditNew) newPoint<Rec>();
    Rec* rec = K::entered().get();
    if (rec && (gEditMode == kEditFollow || gEditMode == kEditRefused)) runLoop(*rec);
    // Laid out again at the pointer at once, after turning too.
    while (rec && gEditMode == kEditRestart) {
        K::restart(*rec);
        K::layoutAt(*rec, gMousePoint);
        runLoop(*rec);
    }
    if (gEditMode != kEditCancelled) return 1;
    if (K::selected() == K::entered().get()) K::selected() = nullptr;
    K::entered().reset();
    return endPointOperation(K::inserting());
}

template <class Rec>
Rec* gMoved = nullptr;
int gMovedIndex = 0;

template <class Rec>
bool beginPointMove(int index) {
    using K = PointKind<Rec>;
    Rec* rec = K::table()[index];
    if (!rec || !allocateJournalScratch()) return false;
    K::moving() = true;
    gMoved<Rec> = rec;
    gMovedIndex = index;
    K::selected() = rec;
    K::saveCopy(*rec);
    K::draw(*rec, 1, 1);
    setEntryRange();
    K::beginMove(*rec);
    const DiagramPoint anchor = K::anchor(*rec);
    moveMouseToPoint(anchor.x, anchor.y);
    showEntryCrosshair();
    gEditMode = kEditRestart;
    return true;
}

template <class Rec>
int endPointMove(bool keep) {
    using K = PointKind<Rec>;
    Rec& rec = *gMoved<Rec>;
    if (keep) {
        gEditMode = kEditCancelled;
        runLoop(rec);  // once more, to take the crosshair and the element's aids away
        K::keepMove(rec, gMovedIndex);
    } else {
        K::restoreCopy(rec);
    }
    if constexpr (std::is_same_v<Rec, StepProgramRec>)
        redrawSchema(1);
    else
        K::draw(rec, 0, 1);
    gMoved<Rec> = nullptr;
    return endPointOperation(K::moving());
}

template <class Rec>
int movePoint(int index) {
    using K = PointKind<Rec>;
    if (!K::moving() && !beginPointMove<Rec>(index)) return -1;
    Rec& rec = *gMoved<Rec>;
    if (K::kMoveConfirmedByDialog && gEditMode == kEditNew) return endPointMove<Rec>(true);
    if (gEditMode == kEditFollow || gEditMode == kEditRefused) runLoop(rec);
    while (gEditMode == kEditRestart) {
        K::layoutAt(rec, gMousePoint);
        runLoop(rec);
    }
    if (!K::kMoveConfirmedByDialog && gEditMode == kEditCommitted) return endPointMove<Rec>(true);
    if (gEditMode == kEditCancelled) return endPointMove<Rec>(false);
    return 1;
}

}  // namespace

int heldTurnoutLeg() { return gHeldLeg; }

int insertTurnout(char subtype, int leg) {
    if (!gInsertingTurnout) {
        gEnteredSubtype = subtype;
        gHeldLeg = leg;
    }
    return insertPoint<TurnoutRec>();
}
int insertSignal() { return insertPoint<SignalRec>(); }
int insertOutput() { return insertPoint<OutputRec>(); }
int insertInput() { return insertPoint<InputRec>(); }
int insertStepBox() { return insertPoint<StepProgramRec>(); }
int moveTurnout(int index) { return movePoint<TurnoutRec>(index); }
int moveSignal(int index) { return movePoint<SignalRec>(index); }
int moveOutput(int index) { return movePoint<OutputRec>(index); }
int moveInput(int index) { return movePoint<InputRec>(index); }
int moveStepBox(int index) { return movePoint<StepProgramRec>(index); }
