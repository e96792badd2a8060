#include "steps/dialogs/untStappen.h"

#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <algorithm>

#include "layout/draw/element_draw.h"
#include "layout/editor/editor_state.h"
#include "layout/editor/entry_handoff.h"
#include "layout/frame/render.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "operation/control/accessory_operation.h"
#include "operation/control/control_post.h"
#include "operation/control/emergency_stop.h"
#include "platform/text_codec.h"
#include "shell/config/help.h"
#include "shell/config/messages.h"
#include "shell/model/app_state.h"
#include "shell/window/form_setup.h"
#include "shell/window/untSchema.h"
#include "steps/dialogs/step_editor_link.h"
#include "steps/editor/step_store.h"
#include "steps/files/step_file.h"
#include "steps/model/step_program.h"

TfrmStappen* frmStappen = nullptr;
FormulaRec* gCurFormula = nullptr;
int gCurStepIndex = -1;

namespace {

constexpr int kDialogCode = 15;
constexpr int kModeAdd = 3;
constexpr int kModeDelete = 7;
constexpr int kModeModify = 8;
constexpr int kModeView = 18;
constexpr int kModeSaved = 30;
constexpr int kHelpTopic = 25;

struct ModeTexts {
    int mode;
    const char* caption;
    const char* save;
};
constexpr ModeTexts kModeTexts[] = {
    {kModeAdd, "Toevoegen nieuw stappenprogramma", "Stappenprogramma opslaan"},
    {kModeDelete, "Verwijderen stappenprogramma", "Stappenprogramma verwijderen"},
    {kModeModify, "Wijzigen gegevens stappenprogramma", "Stappenprogramma's opslaan"},
    {kModeView, "Stappenprogramma's", "Stappenprogramma's opslaan"},
};

QPushButton* button(QWidget* parent, const char* name, const char* text, QRect at) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setGeometry(at);
    b->setAutoDefault(false);
    return b;
}

// Another program with this name (8-bit text).
bool nameUsedByAnother(const std::string& name, const StepProgramRec* self) {
    for (const StepProgramRec* p : gStepPrograms)
        if (p != self && p->name == name) return true;
    return false;
}

}  // namespace

TfrmStappen::TfrmStappen(QWidget* parent) : TElementDialog(parent) {
    setupForm(this, "frmStappen", "Stappenprogramma", 600, 520);
    cboStappenNaam = new QComboBox(this);
    cboStappenNaam->setObjectName("cboStappenNaam");
    cboStappenNaam->setGeometry(10, 8, 180, 24);
    btnDupliceer = button(this, "btnDupliceer", "dupliceer", {200, 8, 90, 24});
    const int x = 410;
    btnStart = button(this, "btnStart", "start", {x, 40, 85, 25});
    btnStop = button(this, "btnStop", "stop", {x + 95, 40, 85, 25});
    btnStapInvoegen = button(this, "btnStapInvoegen", "stap invoegen", {x, 80, 180, 25});
    btnStapWissen = button(this, "btnStapWissen", "stap wissen", {x, 110, 180, 25});
    btnOpslaan = button(this, "btnOpslaan", "Gewijzigde tabellen opslaan", {x, 150, 180, 25});
    btnAnnuleren = button(this, "btnAnnuleren", "Annuleren", {x, 180, 180, 25});
    btnHelp = button(this, "btnHelp", "Help", {x, 210, 180, 25});
    // The button column is as wide as the longest caption "Opslaan" takes in any mode.
    int column = std::max(btnOpslaan->width(), btnOpslaan->sizeHint().width());
    for (const ModeTexts& t : kModeTexts) {
        btnOpslaan->setText(t.save);
        column = std::max(column, btnOpslaan->sizeHint().width());
    }
    btnOpslaan->setText("Gewijzigde tabellen opslaan");
    for (QPushButton* b : {btnStapInvoegen, btnStapWissen, btnOpslaan, btnAnnuleren, btnHelp}) b->resize(column, b->height());
    btnStop->setGeometry(x + column - btnStop->width(), btnStop->y(), btnStop->width(), btnStop->height());
    resize(std::max(width(), x + column + 10), height());
    buildGrid();
    buildFields();
    buildFormulaPanel();
    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(500);

    connect(cboStappenNaam, &QComboBox::activated, this, &TfrmStappen::cboStappenNaamClick);
    connect(btnDupliceer, &QPushButton::clicked, this, &TfrmStappen::btnDupliceerClick);
    connect(btnStart, &QPushButton::clicked, this, &TfrmStappen::btnStartClick);
    connect(btnStop, &QPushButton::clicked, this, &TfrmStappen::btnStopClick);
    connect(btnStapInvoegen, &QPushButton::clicked, this, &TfrmStappen::btnStapInvoegenClick);
    connect(btnStapWissen, &QPushButton::clicked, this, &TfrmStappen::btnStapWissenClick);
    connect(btnOpslaan, &QPushButton::clicked, this, &TfrmStappen::btnOpslaanClick);
    connect(btnAnnuleren, &QPushButton::clicked, this, &TfrmStappen::btnAnnulerenClick);
    connect(btnHelp, &QPushButton::clicked, this, &TfrmStappen::btnHelpClick);
    connect(Timer1, &QTimer::timeout, this, &TfrmStappen::Timer1Timer);
    watchKeys();
    FormResize();
}

bool TfrmStappen::client() const { return gNetLinkState == 40; }

void TfrmStappen::firstActivation(int mode) {
    Tag = mode;
    cboStappenNaam->clear();
    clearStepGrid();
    const bool enabled = !demoRunning();
    for (QWidget* w : findChildren<QWidget*>()) {
        if (w->parent() == this || w->parent() == grpFormule) w->setEnabled(enabled);
    }
    strgrdStappen->setEnabled(enabled);
    cboConditie->hide();
    cboActie->hide();
    cboCondFmlnr->hide();
    cboActieFmlnr->hide();
    for (const ModeTexts& t : kModeTexts) {
        if (t.mode != mode) continue;
        setWindowTitle(t.caption);
        btnOpslaan->setText(t.save);
    }
    btnAnnuleren->setText(mode == kModeView ? "Afsluiten" : "Annuleren");
    btnDupliceer->setVisible(mode == kModeModify);
    const bool named = mode == kModeAdd || mode == kModeModify;
    cboStappenNaam->setEditable(named);
    if (named) {
        cboStappenNaam->lineEdit()->setMaxLength(kStepProgramNameMax);
        connect(cboStappenNaam->lineEdit(), &QLineEdit::textEdited, this, &TfrmStappen::cboStappenNaamChange,
                Qt::UniqueConnection);
    }
    StepProgramRec* p = gCurStepBox;
    if (p && named) p->currentStep = 1;
    if (mode == kModeDelete) {
        strgrdStappen->setEnabled(false);
        btnStapInvoegen->setEnabled(false);
        btnStapWissen->setEnabled(false);
    }
    if (mode == kModeAdd) {
        if (p) cboStappenNaam->setEditText(vestrel::fromCp1252(p->name));
    } else {
        for (const StepProgramRec* q : gStepPrograms) cboStappenNaam->addItem(vestrel::fromCp1252(q->name));
        cboStappenNaam->setCurrentIndex(stepProgramIndex(p));
    }
    fillStepGrid();
    const bool run = sessionRunning() && !demoRunning();
    btnStart->setEnabled(run);
    btnStop->setEnabled(run);
    fillFormulaCombos();
}

void TfrmStappen::FormActivate() {
    const int editMode = static_cast<int>(gEditMode);
    int mode = Tag;
    if (editMode == kModeAdd || editMode == kModeDelete || editMode == kModeModify || editMode == kModeView)
        mode = editMode;
    // In a session the control post's own click modes share those numbers: there the window only views.
    if (mode == 0 || sessionRunning()) mode = kModeView;
    if (mode != Tag) firstActivation(mode);
    gActiveDialog = kDialogCode;
    StepProgramRec* p = gCurStepBox;
    btnStart->setText(sessionRunning() && p && p->state == 1 ? "pause" : "start");
    if (p && p->currentStep >= 1 && p->currentStep <= p->stepCount) {
        const int row = p->currentStep - 1;
        showStepRow(p->firstStep + row, p->currentStep);
        markRow(row);
        if (demoRunning()) strgrdStappen->setCurrentCell(row, std::max(strgrdStappen->currentColumn(), 0));
    } else {
        markRow(-1);
    }
    showFields();
    if (isVisible() && !Timer1->isActive()) Timer1->start();
}

void TfrmStappen::changeEvent(QEvent* event) {
    TElementDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && isVisible()) FormActivate();
}

void TfrmStappen::markRow(int row) {
    if (row == markedRow_) return;
    markedRow_ = row;
    strgrdStappen->viewport()->update();
}

void TfrmStappen::switchToProgram(StepProgramRec* program) {
    sendStepToPeers(gCurStepIndex);
    gCurStepBox = program;
    gCurStepIndex = -1;
    gCurFormula = nullptr;
    const int mode = Tag;
    Tag = 0;
    firstActivation(mode);
    FormActivate();
}

void TfrmStappen::cboStappenNaamChange() {
    if (Tag != kModeModify || !gCurStepBox) return;
    gCurStepBox->name = vestrel::toCp1252(cboStappenNaam->currentText()).substr(0, kStepProgramNameMax);
}

void TfrmStappen::cboStappenNaamClick() {
    if (Tag == kModeAdd) return;
    StepProgramRec* chosen = gStepPrograms[cboStappenNaam->currentIndex()];
    StepProgramRec* p = gCurStepBox;
    if (!chosen) return;
    if (sessionRunning()) {
        switchToProgram(chosen);
        return;
    }
    if (Tag == kModeModify && p) {
        const int own = stepProgramIndex(p);
        if (nameUsedByAnother(p->name, p)) {
            showDialogMessage("Stappenprogrammanaam tweemaal gebruikt", 1);
            cboStappenNaam->setCurrentIndex(own);
            cboStappenNaam->setEditText(vestrel::fromCp1252(p->name));
            return;
        }
        cboStappenNaam->setItemText(own, vestrel::fromCp1252(p->name));
    }
    if (chosen != p) switchToProgram(chosen);
}

void TfrmStappen::btnDupliceerClick() {
    if (!gCurStepBox) return;
    sendStepToPeers(gCurStepIndex);
    if (duplicateStepProgram(gCurStepBox)) switchToProgram(gCurStepBox);
}

int TfrmStappen::selectedRow() const { return strgrdStappen->currentRow(); }

void TfrmStappen::btnStapInvoegenClick() {
    StepProgramRec* p = gCurStepBox;
    const int row = selectedRow() + 1;
    if (!p || row < 1) return;
    sendStepToPeers(gCurStepIndex);
    if (client()) {
        netQueueRecord(40, 14, 0, 0, p->number, row);
        return;
    }
    insertOrDeleteStep(p, row, 0);
}

void TfrmStappen::btnStapWissenClick() {
    StepProgramRec* p = gCurStepBox;
    const int row = selectedRow() + 1;
    if (!p || row < 1) return;
    if (client()) {
        netQueueRecord(40, 14, 42, 42, p->number, row);
        return;
    }
    gChangeFlags &= static_cast<uint8_t>(~0x10);  // the step goes: nothing of it is left to send
    if (insertOrDeleteStep(p, row, 1)) {
        gCurStepIndex = -1;
        strgrdStappenSelectCell(selectedRow(), strgrdStappen->currentColumn());
    }
}

void TfrmStappen::btnStartClick() {
    StepProgramRec* p = gCurStepBox;
    if (!p) return;
    setStepProgramState(p, p->state == 1 ? 1 : 0);
    FormActivate();
}

void TfrmStappen::btnStopClick() {
    if (!gCurStepBox) return;
    setStepProgramState(gCurStepBox, 2);
    FormActivate();
}

void TfrmStappen::btnHelpClick() { showHelpTopic(kHelpTopic); }

void TfrmStappen::btnAnnulerenClick() {
    sendStepToPeers(gCurStepIndex);
    close();
}

void TfrmStappen::btnOpslaanClick() {
    StepProgramRec* p = gCurStepBox;
    if (!p) return;
    if (client()) {
        netQueueRecord(40, 14, 48, 48, p->number, 0);
        return;
    }
    sendStepToPeers(gCurStepIndex);
    if (Tag == kModeAdd || Tag == kModeModify) {
        if (p->stepCount < 2 || gStepCount == 0) return;
        const std::string name = vestrel::toCp1252(cboStappenNaam->currentText()).substr(0, kStepProgramNameMax);
        if (nameUsedByAnother(name, p)) {
            showDialogMessage("Stappenprogrammanaam wordt dubbel gebruikt", 1);
            return;
        }
        p->name = name;
        if (Tag == kModeAdd) {
            if (!storeNewStepProgram()) return;
        } else {
            redrawSchema(1);
        }
    }
    if (Tag == kModeDelete) {
        if (showDialogMessage("Bent u zeker ?", 2) != 1) {
            close();
            return;
        }
        drawStepBox(*p, 1, 1);
        deleteStepProgram(p);
        // Its steps are gone and the steps behind them moved down: nothing selected stays valid.
        gCurStepBox = nullptr;
        gCurStepIndex = -1;
        gCurFormula = nullptr;
        redrawSchema(1);
    }
    saveStepProgramFile();
    Tag = kModeSaved;
    close();
}

void TfrmStappen::FormClose() {
    sendStepToPeers(gCurStepIndex);
    Timer1->stop();
    cboStappenNaam->setEditable(false);
    cboStappenNaam->clear();
    clearStepGrid();
    StepProgramRec* p = gCurStepBox;
    if (Tag == kModeAdd && p) {
        // The new program was never stored: its steps stand at the end of the step table.
        while (p->stepCount > 0 && p->firstStep < gStepCount) {
            gSteps.removeAt(p->firstStep);
            --p->stepCount;
        }
        p->stepCount = 0;
        gCurStepIndex = -1;
    } else if (Tag == kModeModify) {
        // Reloading replaces every program, step and formula record: what the editor pointed at is found
        // again by its table position.
        const int formula = gFormulas.indexOf(gCurFormula);
        loadStepProgramFile(1);
        gCurFormula = gFormulas[formula];
        if (gCurStepIndex >= gStepCount) gCurStepIndex = -1;
        redrawSchema(1);
    }
    Tag = 0;
    gActiveDialog = 0;
    markedRow_ = -1;
    if (sessionRunning() || gEditMode == kEditClickOpens || gEditMode == kEditClickDeletes)
        gEditMode = kEditIdle;
    else if (gEditMode != kEditNew)
        gEditMode = kEditRestart;
    // The box tool goes on in the main window: the keys (Esc among them) are its own again, not those
    // of this window's last field.
    if (gEditMode == kEditNew && frmSchema) {
        frmSchema->activateWindow();
        frmSchema->setFocus(Qt::OtherFocusReason);
    }
}

void TfrmStappen::resizeEvent(QResizeEvent* event) {
    TElementDialog::resizeEvent(event);
    FormResize();
}

void TfrmStappen::FormKeyDown(int key) {
    if (key == Qt::Key_Space && sessionRunning() && gEmergencyState == 0) emergencyStopAll(1);
}

// What the store, the executor and the formula engine ask of the open editor.
bool stepEditorShows(const StepProgramRec* program) {
    return program && frmStappen && frmStappen->isVisible() && gCurStepBox == program;
}
void refreshStepEditor() {
    if (frmStappen && frmStappen->isVisible()) frmStappen->FormActivate();
}
void showStepEditorWaitLeft(const StepProgramRec* program) {
    if (stepEditorShows(program)) frmStappen->showWaitLeft();
}
void fillStepGrid() {
    if (frmStappen) frmStappen->fillStepGrid();
}
void clearStepRow(int row) {
    if (frmStappen) frmStappen->clearStepRow(row);
}
void showStepRow(int stepIndex, int row) {
    if (frmStappen) frmStappen->showStepRow(stepIndex, row);
}
void redrawStepRowOf(int stepIndex) {
    if (!stepEditorShows(gCurStepBox)) return;
    const int row = stepIndex - gCurStepBox->firstStep + 1;
    if (row >= 1 && row <= gCurStepBox->stepCount) showStepRow(stepIndex, row);
}
