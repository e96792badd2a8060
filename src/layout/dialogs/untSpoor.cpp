#include "layout/dialogs/untSpoor.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "layout/draw/element_draw.h"
#include "layout/editor/edit_journal.h"
#include "layout/editor/editor_state.h"
#include "shell/config/messages.h"
#include "shell/model/app_state.h"
#include "shell/window/form_setup.h"
#include "shell/window/mouse_pointer.h"

TfrmSpoor* frmSpoor = nullptr;

namespace {

constexpr int kDialogCode = 5;
constexpr uint8_t kLoopFlag = 1;
constexpr uint8_t kLayerBits[4] = {0, 4, 8, 16};
constexpr uint8_t kAllLayers = 4 | 8 | 16;

int layerOf(uint8_t flags) {
    for (int k = 3; k > 0; --k)
        if (flags & kLayerBits[k]) return k;
    return 0;
}

}  // namespace

TfrmSpoor::TfrmSpoor(QWidget* parent) : TElementDialog(parent) {
    setupForm(this, "frmSpoor", "Verbindingsspoor", 280, 120);
    chboKeerlus = new QCheckBox("Keerlus", this);
    chboKeerlus->setObjectName("chboKeerlus");
    chboKeerlus->setGeometry(10, 12, 90, 20);
    auto* layer = new QLabel("Laag", this);
    layer->setObjectName("lblLaag");
    layer->setGeometry(10, 44, 40, 17);
    for (int k = 0; k < 4; ++k) {
        radbtnLaag[k] = new QRadioButton(QString::number(k), this);
        radbtnLaag[k]->setObjectName(QString("radbtnLaag%1").arg(k));
        radbtnLaag[k]->setGeometry(50 + 45 * k, 42, 40, 20);
    }
    addButtons(80, 8);
    connect(btnOK, &QPushButton::clicked, this, &TfrmSpoor::btnOKClick);
    watchKeys();
}

void TfrmSpoor::FormActivate() {
    if (gActiveDialog != kDialogCode) {
        showMousePointer();
        chboKeerlus->setFocus();
    }
    gActiveDialog = kDialogCode;
    const bool editable = !sessionRunning();
    chboKeerlus->setEnabled(editable);
    for (QRadioButton* r : radbtnLaag) r->setEnabled(editable);
    btnOK->setEnabled(gSelectedTrack != nullptr);
    if (!gSelectedTrack) return;
    chboKeerlus->setChecked(gSelectedTrack->flags & kLoopFlag);
    radbtnLaag[layerOf(gSelectedTrack->flags)]->setChecked(true);
}

// A change is journalled like every other edit of a track: left out, an older undo entry of the track
// would bring back its flags of before.
void TfrmSpoor::btnOKClick() {
    if (gMessageShown) return;
    TrackRec* track = gSelectedTrack;
    if (track && !sessionRunning()) {
        int layer = 0;
        for (int k = 0; k < 4; ++k)
            if (radbtnLaag[k]->isChecked()) layer = k;
        uint8_t flags = static_cast<uint8_t>(track->flags & ~(kLoopFlag | kAllLayers));
        flags |= static_cast<uint8_t>((chboKeerlus->isChecked() ? kLoopFlag : 0) | kLayerBits[layer]);
        if (flags != track->flags) {
            const TrackRec previous = *track;
            drawTrack(*track, 1, 1);
            track->flags = flags;
            drawTrack(*track, 0, 1);
            gDirtyFlags |= 1;
            const int index = gTracks.indexOf(track);
            journalRecordEdit('w', track, &previous, index, index);
        }
    }
    close();
}

void TfrmSpoor::FormClose() {
    editModeAfterElementDialog();
    gActiveDialog = 0;
}
