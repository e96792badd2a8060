#include "layout/dialogs/untEerstePunt.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "layout/analysis/connection_analysis.h"
#include "layout/draw/diagram_area.h"
#include "layout/editor/direction_arrow.h"
#include "layout/analysis/direction_reference.h"
#include "layout/editor/edit_journal.h"
#include "layout/editor/editor_state.h"
#include "layout/files/layout_file.h"
#include "operation/control/emergency_stop.h"
#include "platform/text_codec.h"
#include "shell/model/app_state.h"
#include "shell/window/form_setup.h"
#include "shell/model/input_state.h"
#include "shell/config/messages.h"
#include "shell/main/session.h"
#include "shell/dialogs/untBestandNieuw.h"
#include "shell/dialogs/untBestandOpenen.h"
#include "shell/window/untSchema.h"

TfrmEerstePunt* frmEerstePunt = nullptr;

namespace {

constexpr int kDirectionDialog = 4;  // gActiveDialog while the question is open
constexpr uint32_t kSessionWithTrack = 12;
constexpr uint32_t kSessionWithoutTrack = 13;
constexpr int kAnswerTolerance = 3;  // diagram units around a block end
constexpr int kTextWidth = 370;
constexpr int kMargin = 12;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;

BlockRec* referenceBlock() { return gBlocks.indexOf(gSelectedBlock) >= 0 ? gSelectedBlock : nullptr; }
DiagramPoint lastPoint(const BlockRec* b) { return b->points[std::clamp(b->sections, 1, kMaxSections)]; }

// The question is asked when the layout's structure changed, and always for the connections command.
bool questionNeeded() { return (gDirtyFlags & 1) != 0 || gEditMode == kEditConnections; }

// The pick point lies on that block end (a square around it); it is then snapped onto the end.
bool pickedAt(DiagramPoint end) {
    if (std::abs(gMousePoint.x - end.x) > kAnswerTolerance || std::abs(gMousePoint.y - end.y) > kAnswerTolerance)
        return false;
    gMousePoint = end;
    return true;
}

void reactivateMainWindow() {
    if (!frmSchema) return;
    frmSchema->activateWindow();
    frmSchema->FormActivate();
}

// Back to the editor with nothing pending.
void finishInEditor() {
    gEditMode = 0;
    gActiveDialog = 0;
    reactivateMainWindow();
}

// The next dialog of a file action takes over the pending mode.
void handOverTo(QDialog* next) {
    gActiveDialog = 0;
    if (!next) return;
    next->show();
    next->raise();
    next->activateWindow();
}

// A layout that could not be saved must not be replaced or left: the pending action ends here (the
// save has told the user why).
bool saveOrStop() {
    if (saveLayoutFile()) return true;
    finishInEditor();
    return false;
}

}  // namespace

TfrmEerstePunt::TfrmEerstePunt(QWidget* parent) : TFormDialog(parent) {
    setupForm(this, "frmEerstePunt", "Bepaling richting 'heen'", kTextWidth + 2 * kMargin, 120);
    lblTekst = new QLabel(this);
    lblTekst->setObjectName("lblTekst");
    lblTekst->setWordWrap(true);
    lblTekst->setGeometry(kMargin, kMargin, kTextWidth, 32);
    const struct {
        QPushButton*& button;
        const char* name;
        const char* text;
        void (TfrmEerstePunt::*click)();
    } buttons[] = {{btnJa, "btnJa", "Ja", &TfrmEerstePunt::btnJaClick},
                   {btnNee, "btnNee", "Nee", &TfrmEerstePunt::btnNeeClick},
                   {btnAnnuleren, "btnAnnuleren", "Annuleren", &TfrmEerstePunt::btnAnnulerenClick}};
    int x = kMargin + (kTextWidth - 3 * kButtonWidth - 2 * kMargin) / 2;
    for (const auto& b : buttons) {
        b.button = new QPushButton(b.text, this);
        b.button->setObjectName(b.name);
        b.button->setGeometry(x, 0, kButtonWidth, kButtonHeight);
        b.button->setAutoDefault(false);
        b.button->installEventFilter(this);
        connect(b.button, &QPushButton::clicked, this, b.click);
        x += kButtonWidth + kMargin;
    }
}

void TfrmEerstePunt::FormActivate() {
    if (gBlockCount == 0) {
        // Without blocks there is no direction to ask and no connection to find; the action that asked
        // (a save among them) must still go on rather than silently do nothing.
        gConnections.clear();
        gActiveDialog = kDirectionDialog;
        continuePendingAction();
        close();
        return;
    }
    const bool question = questionNeeded();
    if (question) {
        if (gActiveDialog != kDirectionDialog) {
            askQuestion();
            return;
        }
        const bool answered = takeAnswer();
        gActiveDialog = kDirectionDialog;
        if (!answered) return;  // the question stays until it is answered or cancelled
        analyseConnections(referenceBlock());
    } else {
        // Only properties changed: the directions stand and the action goes on at once.
        gActiveDialog = kDirectionDialog;
    }
    continuePendingAction();
    close();
}

// The first of the lowest-numbered blocks that is no reversing loop is shown with its arrow.
void TfrmEerstePunt::askQuestion() {
    if (frmSchema) move(frmSchema->x() + (frmSchema->width() - width()) / 2, frmSchema->y());
    emptyEditJournal();
    BlockRec* reference = chooseReferenceBlock();
    if (!reference) {
        // Too many reversing loops: the action that needed the directions is dropped, so that it
        // cannot go on later without them.
        gEditMode = 0;
        abandonSessionStart();
        close();
        return;
    }
    gSelectedBlock = reference;
    char text[200];
    std::snprintf(text, sizeof text,
                  "De rode pijl geeft de richting 'heen' aan van het blok met nummer '%d'. Antwoord 'Ja' indien "
                  "dit correct is, 'Nee' indien omgekeerd.",
                  reference->number);
    showQuestion(text);
    drawHeenArrow();
    gDrawArea = {0, 0, gCanvasSize.width, gCanvasSize.height - 88};
    gActiveDialog = kDirectionDialog;
    show();
    raise();
}

void TfrmEerstePunt::showQuestion(const std::string& text) {
    lblTekst->setText(vestrel::fromCp1252(text));
    lblTekst->setFixedHeight(std::max(16, lblTekst->heightForWidth(kTextWidth)));
    const int top = lblTekst->y() + lblTekst->height() + kMargin;
    for (QPushButton* b : {btnJa, btnNee, btnAnnuleren}) b->move(b->x(), top);
    resize(kTextWidth + 2 * kMargin, top + kButtonHeight + kMargin);
}

// "Nee" (the pick point on the block's first point) turns the block around and shows the arrow again;
// "Ja" (on its last point) keeps it.
bool TfrmEerstePunt::takeAnswer() {
    BlockRec* reference = referenceBlock();
    if (!reference) return false;
    if (pickedAt(reference->points[0])) {
        reverseBlock(reference);
        drawHeenArrow();
        return true;
    }
    return pickedAt(lastPoint(reference));
}

void TfrmEerstePunt::continuePendingAction() {
    switch (gEditMode) {
        case kSessionWithTrack:
        case kSessionWithoutTrack:
            hide();
            gActiveDialog = 0;
            if ((gDirtyFlags & 1) && showDialogMessage("Rode punten geven eindpunten aan. Verder gaan ?", 2) != 1) {
                gEditMode = 0;
                abandonSessionStart();
                reactivateMainWindow();
            } else {
                toggleControlPostSession(static_cast<int>(gEditMode));
            }
            break;
        case kEditNewLayout:
            if (saveOrStop()) handOverTo(frmBestandNieuw);
            break;
        case kEditSaveLayoutAs: handOverTo(frmBestandNieuw); break;
        case kEditOpenLayout:
            if (saveOrStop()) handOverTo(frmBestandOpenen);
            break;
        case kEditSaveLayout:
            saveLayoutFile();
            finishInEditor();
            break;
        case kEditConnections: finishInEditor(); break;
        case kEditExit:
            if (saveOrStop() && frmSchema) frmSchema->close();
            break;
        default: break;
    }
}

void TfrmEerstePunt::FormClose() {
    if (gActiveDialog != kDirectionDialog) return;
    gEditMode = 0;
    gActiveDialog = 0;
    abandonSessionStart();
}

void TfrmEerstePunt::btnJaClick() {
    if (BlockRec* reference = referenceBlock()) gMousePoint = lastPoint(reference);
    FormActivate();
}

void TfrmEerstePunt::btnNeeClick() {
    if (BlockRec* reference = referenceBlock()) gMousePoint = reference->points[0];
    FormActivate();
}

void TfrmEerstePunt::btnAnnulerenClick() { close(); }

bool TfrmEerstePunt::FormKeyDown(int key) {
    if (key == Qt::Key_Space && sessionRunning() && gEmergencyState == 0) {
        emergencyStopAll(1);
        return true;
    }
    if (key == Qt::Key_Escape) {
        btnAnnulerenClick();
        return true;
    }
    return false;
}

void TfrmEerstePunt::closeEvent(QCloseEvent* event) {
    FormClose();
    QDialog::closeEvent(event);
}

void TfrmEerstePunt::keyPressEvent(QKeyEvent* event) {
    if (!FormKeyDown(event->key())) QDialog::keyPressEvent(event);
}

bool TfrmEerstePunt::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && FormKeyDown(static_cast<QKeyEvent*>(event)->key())) return true;
    return QDialog::eventFilter(watched, event);
}
