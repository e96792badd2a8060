// The control-post rows: a locomotive's number, mode, direction, speed and wait in its row.
#include <QLabel>
#include <QPalette>
#include <QToolButton>

#include "network/model/net_queue.h"
#include "operation/control/loco_operation.h"
#include "operation/control/loco_operation_internal.h"
#include "operation/dialogs/untLoks.h"
#include "operation/engine/contact_evaluation.h"
#include "operation/model/train_model.h"
#include "platform/canvas.h"
#include "shell/model/app_state.h"
#include "shell/window/untSchema.h"
#include "shell/window/widget_colours.h"

namespace {

struct ModeLook {
    const char* word;
    vestrel::TColor colour;
};
constexpr ModeLook kModes[] = {{"Rangeer", vestrel::rgb(255, 0, 0)},
                               {"Manueel", vestrel::rgb(0, 128, 0)},
                               {"Auto", vestrel::rgb(255, 0, 255)},
                               {"Traject", vestrel::rgb(255, 255, 0)}};

const ModeLook& modeLook(const LocoRec& loco) { return kModes[loco.mode <= kModeRoute ? loco.mode : 0]; }

vestrel::TColor directionColour(const LocoRec& loco) { return loco.direction == 'v' ? vestrel::clGreen : vestrel::clRed; }

void setButton(QToolButton* b, const QString& caption, vestrel::TColor colour) {
    b->setEnabled(true);
    b->setText(caption);
    setTextColour(b, colour);
}

constexpr int kPanelNumber = 0, kPanelMode = 1, kPanelDirection = 2;

// No colour of the locomotive that stood in the row before (the active row's yellow among them) stays.
void emptyRow(int row) {
    for (QToolButton* b : {frmSchema->btnLok[row], frmSchema->btnMode[row], frmSchema->btnRich[row]}) {
        b->setText(QString());
        b->setEnabled(false);
        b->setPalette(QPalette());
    }
    for (QLabel* l : {frmSchema->lblSnelheid[row], frmSchema->lblPauze[row]}) {
        l->setText(QString());
        l->setEnabled(false);
        l->setPalette(QPalette());
        l->setAutoFillBackground(false);
    }
}

}  // namespace

void fillControlPostRow(int row) {
    if (!frmSchema || row < 0 || row >= kControlPosts) return;
    LocoRec* loco = gLocsOnTrack[row];
    if (!loco) {
        emptyRow(row);
        fillDrivingPanelSlot(row);  // an empty row's slot is hidden: no stale locomotive behind it
        return;
    }
    showLocoRunning(loco);
    showLocoMode(loco);
    showLocoDirection(loco);
    frmSchema->lblSnelheid[row]->setEnabled(true);
    showLocoSpeed(loco, 2);
    frmSchema->lblPauze[row]->setEnabled(true);
    showLocoWaitTime(row);
    fillDrivingPanelSlot(row);
    if (frmLoks) frmLoks->Tag = 0;
}

void showLocoRunning(LocoRec* loco) {
    const int row = gLocsOnTrack.indexOf(loco);
    if (!frmSchema || row < 0) return;
    const vestrel::TColor colour = loco->running ? vestrel::clGreen : vestrel::clRed;
    setButton(frmSchema->btnLok[row], QString::number(loco->number), colour);
    showDrivingPanelButton(kPanelNumber, row, QString::number(loco->number), colour);
}

void showLocoMode(LocoRec* loco) {
    const int row = gLocsOnTrack.indexOf(loco);
    if (!frmSchema || row < 0) return;
    const ModeLook& mode = modeLook(*loco);
    setButton(frmSchema->btnMode[row], QString(QChar(mode.word[0])), mode.colour);
    showDrivingPanelButton(kPanelMode, row, mode.word, mode.colour);
}

void showLocoDirection(LocoRec* loco) {
    const int row = gLocsOnTrack.indexOf(loco);
    if (!frmSchema || row < 0) return;
    const bool forward = loco->direction == 'v';
    setButton(frmSchema->btnRich[row], QString(QChar(forward ? 'v' : 'a')), directionColour(*loco));
    showDrivingPanelButton(kPanelDirection, row, forward ? "vooruit" : "achteruit", directionColour(*loco));
}

void showLocoSpeed(LocoRec* loco, int what) {
    const int row = gLocsOnTrack.indexOf(loco);
    if (row < 0) return;
    if (what != 1)
        loco->shownSpeed = static_cast<int16_t>(loco->targetStep ? speedTableEntry(*loco, loco->targetStep) : 0);
    if (!frmSchema) {
        if (what == 0) netQueueLocoState(*loco);
        return;
    }
    QLabel* label = frmSchema->lblSnelheid[row];
    if (what != 1) {
        label->setText(QString::number(loco->shownSpeed));
        refreshDrivingPanelSpeed(loco);
    }
    if (what == 0) {
        netQueueLocoState(*loco);
        return;
    }
    if (loco->flags & kLocoForce) {
        setTextColour(label, vestrel::clWhite);
        setBackColour(label, vestrel::clRed);
    } else {
        setTextColour(label, vestrel::clBlack);
        setBackColour(label, row == gActiveRow ? vestrel::clYellow : vestrel::clBtnFace);
    }
}
