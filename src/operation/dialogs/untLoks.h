#pragma once
// Driving panel: one column per locomotive on the track (up to 20) with its number, mode and direction
// buttons, a vertical speed bar and the function panels F0..F8. Every action becomes the same
// control-post command as the main window's row of that locomotive.
#include <QLabel>

#include "shell/window/form_dialog.h"

class QSlider;
class QToolButton;
struct LocoRec;

constexpr int kDrivingPanelSlots = 20;
constexpr int kDrivingPanelFunctions = 9;  // F0..F8
constexpr int kDrivingPanelSlotWidth = 80;

// The panel's controls, slot n (0..19): 0 + n number, 20 + n mode, 40 + n direction, 60 + n speed bar,
// 80 + 9n + k function panel Fk.
constexpr int kDrivingPanelControlCount = 80 + kDrivingPanelSlots * kDrivingPanelFunctions;
extern QWidget* gDrivingPanelControls[kDrivingPanelControlCount];
// Counts mouse moves 0..3: only every fourth one drives a speed bar.
extern int gPanelMoveCount;

// A function panel: raised while its function is off, lowered and yellow while it is on.
class TFunctionPanel : public QLabel {
    Q_OBJECT
public:
    TFunctionPanel(QWidget* parent, int function, int slot);
    bool raised() const { return frameShadow() == QFrame::Raised; }
    void setRaised(bool raised);
    const int function;
    const int slot;

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

class TfrmLoks : public TFormDialog {
    Q_OBJECT
public:
    explicit TfrmLoks(QWidget* parent = nullptr);
    void FormActivate();
    void FormClose();
    // Each button and panel knows its slot (1..20) by the number in its name.
    void btnLok1Click(QObject* sender);
    void btnMode1Click(QObject* sender);
    void btnRich1Click(QObject* sender);
    void tbarSnelheid1Change() {}
    void pnlF0_1Click(TFunctionPanel* panel);
    void FormMouseDown(QMouseEvent* event);
    void FormMouseMove(QMouseEvent* event);

    // Slot `row` shows the locomotive in that control-post row, or is hidden when the row is empty.
    void fillSlot(int row);
    // The slot's speed read-out and bar.
    void showSlotSpeed(int row);

    // 0 asks for the width to be set on the next activation.
    int Tag = 0;

    QToolButton* btnLok[kDrivingPanelSlots] = {};
    QToolButton* btnMode[kDrivingPanelSlots] = {};
    QToolButton* btnRich[kDrivingPanelSlots] = {};
    QLabel* lblReeleSnelh[kDrivingPanelSlots] = {};
    QLabel* lblKm_h_[kDrivingPanelSlots] = {};
    QSlider* tbarSnelheid[kDrivingPanelSlots] = {};
    TFunctionPanel* pnlF[kDrivingPanelSlots][kDrivingPanelFunctions] = {};

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildSlot(int n);
    // The speed bar of the first locomotive on the track (row order) that holds the point drives it.
    void driveSpeedBars(QMouseEvent* event);
};

extern TfrmLoks* frmLoks;

// Function k (0..8) of the locomotive as its panel on the driving panel shows it.
void showDrivingPanelFunction(const LocoRec* loco, int k);
// The driving panel's slot of the locomotive: its speed, and every function panel.
void refreshDrivingPanelSpeed(const LocoRec* loco);
void refreshDrivingPanelFunctions(const LocoRec* loco);
// The slot of control-post row `row`, as the row filler fills the row.
void fillDrivingPanelSlot(int row);
// Button `which` (0 number, 1 mode, 2 direction) of the slot of control-post row `row`: its caption in
// its colour.
void showDrivingPanelButton(int which, int row, const QString& caption, unsigned colour);
