#include "operation/dialogs/untLoks.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QSlider>
#include <QToolButton>

#include "link/buffers/link_buffers.h"
#include "operation/control/control_post.h"
#include "operation/control/speed_bar.h"
#include "operation/model/loco_functions.h"
#include "operation/model/train_model.h"
#include "platform/canvas.h"
#include "shell/window/form_setup.h"
#include "shell/window/untSchema.h"
#include "shell/window/widget_colours.h"

TfrmLoks* frmLoks = nullptr;
QWidget* gDrivingPanelControls[kDrivingPanelControlCount] = {};
int gPanelMoveCount = 0;

namespace {

constexpr int kDesignWidth = kDrivingPanelSlots * kDrivingPanelSlotWidth;
constexpr int kBarTop = 96;
constexpr int kBarHeight = 209;
constexpr int kPanelTop = 90;
constexpr int kPanelSize = 32;
constexpr int kPanelLeft = 46;  // the function panels' column, right of the speed bar
constexpr int kLabelWidth = kPanelLeft - 2;  // the read-outs under the bar end where the panels begin

// The locomotive in control-post row `row`, null for an empty row.
LocoRec* locoInSlot(int row) { return row >= 0 && row < kDrivingPanelSlots ? gLocsOnTrack[row] : nullptr; }

// The number after `prefix` in the object's name ("btnLok12" -> 12), 0 when it has none.
int slotOf(const QObject* sender, const char* prefix) {
    const QString name = sender ? sender->objectName() : QString();
    if (!name.startsWith(prefix)) return 0;
    return name.mid(static_cast<int>(qstrlen(prefix))).toInt();
}

// The post command of a slot's button; a slot without locomotive does nothing.
void slotCommand(int code, int slot) {
    if (locoInSlot(slot - 1)) controlPostCommand(code, slot - 1);
}

QToolButton* slotButton(QWidget* parent, const QString& name, int x, int y) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setGeometry(x, y, 80, 29);
    b->hide();
    return b;
}

QLabel* slotLabel(QWidget* parent, const QString& name, const char* text, int x, int y) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(x, y, kLabelWidth, 16);
    l->hide();
    return l;
}

// Decoders switch F1..F5 on Motorola new and every function on DCC; F0 always.
bool decoderSwitches(const LocoRec& loco, int k) {
    const int type = loco.decoderType;
    return type >= 3 || ((type == 1 || type == 2) && k < 6) || k == 0;
}

}  // namespace

TFunctionPanel::TFunctionPanel(QWidget* parent, int functionNumber, int slotNumber)
    : QLabel(QString("F%1").arg(functionNumber), parent), function(functionNumber), slot(slotNumber) {
    setObjectName(QString("pnlF%1_%2").arg(functionNumber).arg(slotNumber));
    setAlignment(Qt::AlignCenter);
    setAutoFillBackground(true);
    setRaised(true);
    hide();
}

void TFunctionPanel::setRaised(bool raised) {
    setFrameStyle(QFrame::Panel | (raised ? QFrame::Raised : QFrame::Sunken));
    setLineWidth(2);
    setBackColour(this, raised ? vestrel::clBtnFace : vestrel::clYellow);
}

void TFunctionPanel::mousePressEvent(QMouseEvent*) {
    if (frmLoks) frmLoks->pnlF0_1Click(this);
}

TfrmLoks::TfrmLoks(QWidget* parent) : TFormDialog(parent) {
    // Tall enough for F8, the last function panel of a column.
    setupForm(this, "frmLoks", "Stuur locomotieven", kDesignWidth, kPanelTop + kDrivingPanelFunctions * kPanelSize + 4);
    for (int n = 0; n < kDrivingPanelSlots; ++n) buildSlot(n);
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
}

void TfrmLoks::buildSlot(int n) {
    const int x = kDrivingPanelSlotWidth * n;
    const QString slot = QString::number(n + 1);
    btnLok[n] = slotButton(this, "btnLok" + slot, x, 0);
    btnMode[n] = slotButton(this, "btnMode" + slot, x, 30);
    btnRich[n] = slotButton(this, "btnRich" + slot, x, 60);
    connect(btnLok[n], &QToolButton::clicked, this, [this, b = btnLok[n]] { btnLok1Click(b); });
    connect(btnMode[n], &QToolButton::clicked, this, [this, b = btnMode[n]] { btnMode1Click(b); });
    connect(btnRich[n], &QToolButton::clicked, this, [this, b = btnRich[n]] { btnRich1Click(b); });
    lblReeleSnelh[n] = slotLabel(this, "lblReeleSnelh" + slot, "GewSnelh", x + 2, kBarTop + kBarHeight + 4);
    lblKm_h_[n] = slotLabel(this, "lblKm_h_" + slot, "km/h", x + 2, kBarTop + kBarHeight + 20);
    auto* bar = new QSlider(Qt::Vertical, this);
    bar->setObjectName("tbarSnelheid" + slot);
    bar->setGeometry(x, kBarTop, 45, kBarHeight);
    bar->setMaximum(14);
    bar->setTickInterval(2);
    bar->setTickPosition(QSlider::TicksBothSides);
    bar->setInvertedAppearance(true);  // position 0 (full speed) at the top
    bar->setEnabled(false);            // the form takes the mouse and drives the bar
    bar->hide();
    connect(bar, &QSlider::valueChanged, this, &TfrmLoks::tbarSnelheid1Change);
    tbarSnelheid[n] = bar;
    gDrivingPanelControls[n] = btnLok[n];
    gDrivingPanelControls[20 + n] = btnMode[n];
    gDrivingPanelControls[40 + n] = btnRich[n];
    gDrivingPanelControls[60 + n] = bar;
    for (int k = 0; k < kDrivingPanelFunctions; ++k) {
        auto* panel = new TFunctionPanel(this, k, n + 1);
        panel->setGeometry(x + kPanelLeft, kPanelTop + kPanelSize * k, kPanelSize, kPanelSize);
        pnlF[n][k] = panel;
        gDrivingPanelControls[80 + kDrivingPanelFunctions * n + k] = panel;
    }
}

void TfrmLoks::FormActivate() {
    if (Tag != 0) return;
    Tag = 1;
    const int count = gLocsOnTrackCount;
    if (count > 0) resize(count * kDrivingPanelSlotWidth, height());
}

void TfrmLoks::FormClose() { Tag = 0; }

void TfrmLoks::btnLok1Click(QObject* sender) { slotCommand(301, slotOf(sender, "btnLok")); }
void TfrmLoks::btnMode1Click(QObject* sender) { slotCommand(302, slotOf(sender, "btnMode")); }
void TfrmLoks::btnRich1Click(QObject* sender) { slotCommand(303, slotOf(sender, "btnRich")); }

void TfrmLoks::pnlF0_1Click(TFunctionPanel* panel) {
    LocoRec* loco = panel ? locoInSlot(panel->slot - 1) : nullptr;
    if (!loco) return;
    if (decoderSwitches(*loco, panel->function)) {
        // A raised panel asks for the function on: the click switches it over.
        setLocoFunction(loco, panel->function, panel->raised() ? 1 : 0);
    } else {
        panel->setRaised(true);
    }
}

void TfrmLoks::driveSpeedBars(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    for (int row = 0; row < gLocsOnTrackCount && row < kDrivingPanelSlots; ++row)
        if (dragLocoSpeedBar(*gLocsOnTrack[row], row, tbarSnelheid[row], p.x(), p.y())) return;
}

void TfrmLoks::FormMouseDown(QMouseEvent* event) { driveSpeedBars(event); }

void TfrmLoks::FormMouseMove(QMouseEvent* event) {
    gPanelMoveCount = (gPanelMoveCount + 1) % 4;
    if (gPanelMoveCount != 0) return;
    if (event->buttons() & (Qt::LeftButton | Qt::RightButton)) driveSpeedBars(event);
}

void TfrmLoks::fillSlot(int row) {
    if (row < 0 || row >= kDrivingPanelSlots) return;
    LocoRec* loco = locoInSlot(row);
    QWidget* controls[] = {btnLok[row], btnMode[row], btnRich[row], lblReeleSnelh[row], lblKm_h_[row], tbarSnelheid[row]};
    for (QWidget* w : controls) w->setVisible(loco != nullptr);
    for (TFunctionPanel* panel : pnlF[row]) panel->setVisible(loco != nullptr);
    Tag = 0;
    if (!loco) return;
    showSlotSpeed(row);
    for (int k = 0; k < kDrivingPanelFunctions; ++k) showDrivingPanelFunction(loco, k);
}

void TfrmLoks::showSlotSpeed(int row) {
    const LocoRec* loco = locoInSlot(row);
    if (!loco) return;
    lblReeleSnelh[row]->setText(QString::number(loco->shownSpeed));
    QSlider* bar = tbarSnelheid[row];
    bar->setMaximum(loco->run.speedSteps);
    bar->setValue(loco->run.speedSteps - loco->targetStep);
}

void TfrmLoks::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void TfrmLoks::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TfrmLoks::closeEvent(QCloseEvent* event) {
    FormClose();
    QDialog::closeEvent(event);
}

void TfrmLoks::mousePressEvent(QMouseEvent* event) { FormMouseDown(event); }
void TfrmLoks::mouseMoveEvent(QMouseEvent* event) { FormMouseMove(event); }

bool TfrmLoks::eventFilter(QObject* watched, QEvent* event) {
    // Key preview: the panel answers the same keys as the main window.
    const QEvent::Type type = event->type();
    if ((type == QEvent::KeyPress || type == QEvent::KeyRelease) && frmSchema) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (type == QEvent::KeyPress)
            frmSchema->FormKeyDown(key);
        else
            frmSchema->FormKeyUp(key);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void showDrivingPanelFunction(const LocoRec* loco, int k) {
    const int row = loco ? gLocsOnTrack.indexOf(loco) : -1;
    if (!frmLoks || row < 0 || row >= kDrivingPanelSlots || k < 0 || k >= kDrivingPanelFunctions) return;
    auto* panel = static_cast<TFunctionPanel*>(gDrivingPanelControls[80 + kDrivingPanelFunctions * row + k]);
    const bool on = isFunctionOn(locoFunctionWord(*loco), k);
    if (on == panel->raised()) panel->setRaised(!on);
}

void refreshDrivingPanelSpeed(const LocoRec* loco) {
    const int row = loco ? gLocsOnTrack.indexOf(loco) : -1;
    if (frmLoks && row >= 0 && row < kDrivingPanelSlots) frmLoks->showSlotSpeed(row);
}

void refreshDrivingPanelFunctions(const LocoRec* loco) {
    for (int k = 0; k < kDrivingPanelFunctions; ++k) showDrivingPanelFunction(loco, k);
}

void fillDrivingPanelSlot(int row) {
    if (frmLoks) frmLoks->fillSlot(row);
}

void showDrivingPanelButton(int which, int row, const QString& caption, unsigned colour) {
    if (!frmLoks || which < 0 || which > 2 || row < 0 || row >= kDrivingPanelSlots) return;
    auto* button = static_cast<QToolButton*>(gDrivingPanelControls[20 * which + row]);
    button->setText(caption);
    setTextColour(button, colour);
}
