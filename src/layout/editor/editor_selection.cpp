#include "layout/editor/editor_selection.h"

#include "layout/editor/editor_forms.h"
#include "layout/editor/editor_state.h"
#include "shell/model/app_state.h"

namespace {

// gActiveDialog of the element dialogs: 5 connecting track .. 11 turntable, in hit-code order 401..407.
constexpr int kFirstElementDialog = 5;

template <class Rec>
void release(Rec*& selected, int code) {
    selected = nullptr;
    closeElementDialog(code);
    if (gActiveDialog == kFirstElementDialog + code - 401) gActiveDialog = 0;
}

template <class Rec, int N>
void releaseIfGone(Rec*& selected, const RecordTable<Rec, N>& table, int code) {
    if (selected && table.indexOf(selected) < 0) release(selected, code);
}

}  // namespace

void releaseSelection(const void* record) {
    if (!record) return;
    if (record == gSelectedTrack) release(gSelectedTrack, 401);
    if (record == gSelectedBlock) release(gSelectedBlock, 402);
    if (record == gSelectedTurnout) release(gSelectedTurnout, 403);
    if (record == gSelectedSignal) release(gSelectedSignal, 404);
    if (record == gSelectedOutput) release(gSelectedOutput, 405);
    if (record == gSelectedInput) release(gSelectedInput, 406);
    if (record == gSelectedTurntable) release(gSelectedTurntable, 407);
}

void dropStaleSelections() {
    releaseIfGone(gSelectedTrack, gTracks, 401);
    releaseIfGone(gSelectedBlock, gBlocks, 402);
    releaseIfGone(gSelectedTurnout, gTurnouts, 403);
    releaseIfGone(gSelectedSignal, gSignals, 404);
    releaseIfGone(gSelectedOutput, gOutputs, 405);
    releaseIfGone(gSelectedInput, gInputs, 406);
    releaseIfGone(gSelectedTurntable, gTurntables, 407);
}
