#pragma once
// Turntable dialog: the turntable's settings, which ring positions are connected (by clicking the ring
// ends while the dialog is open) and, while a session runs, its decoder commands. Its 50 ms timer moves
// the bridge on the diagram while the turntable turns.
#include <cstdint>

#include "layout/dialogs/element_dialog.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QTimer;
struct TurntableRec;

extern int gTurntableTarget;         // the target end chosen in the dialog
extern uint32_t gTurntableRunOnEnd;  // gMsTick at which the run-on after arrival ends, 0 none
extern int gLastModelSecond;         // the model-clock second the timer saw last

class TfrmDraaischijf : public TElementDialog {
    Q_OBJECT
public:
    explicit TfrmDraaischijf(QWidget* parent = nullptr);
    void FormActivate() override;
    void FormClose() override;
    void btnOKClick();
    void edtNummerExit();
    void edtMaxPosExit();
    void edtSnelheidExit();
    void edtInPosExit();
    void edtBezetExit();
    void edtPulstijdExit();
    void edtTimeoutExit();
    void edtNalooptijdExit();
    void cboSysteemChange();
    void cboAdresgebiedChange();
    void edtStartadresChange();
    void cboDoelposChange();
    // Command buttons: turnTurntable with the end and command of each.
    void command(int end, int code);
    void Timer1Timer();
    // The ring's connected positions as the target list, the first selected.
    void fillTargets();

    QLineEdit* edtNummer = nullptr;
    QLineEdit* edtMaxPos = nullptr;
    QLineEdit* edtSnelheid = nullptr;
    QLineEdit* edtInPos = nullptr;
    QLineEdit* edtBezet = nullptr;
    QLineEdit* edtPulstijd = nullptr;
    QLineEdit* edtTimeout = nullptr;
    QLabel* lblTimeoutteller = nullptr;
    QLineEdit* edtNalooptijd = nullptr;
    QComboBox* cboSysteem = nullptr;
    QGroupBox* grpSysteem1 = nullptr;
    QGroupBox* grpSysteem2 = nullptr;
    QLineEdit* edtStartadres = nullptr;
    QComboBox* cboAdresgebied = nullptr;
    QLabel* lblAdresTzin2 = nullptr;
    QComboBox* cboDoelpos = nullptr;
    QLabel* lblDiameter = nullptr;
    QPushButton* btnEnd = nullptr;
    QPushButton* btnInput = nullptr;
    QPushButton* btnClear = nullptr;
    QPushButton* btnTurn = nullptr;
    QPushButton* btnStapTzin = nullptr;
    QPushButton* btnStapWzin = nullptr;
    QPushButton* btnDoel = nullptr;
    QLabel* pnlTzin = nullptr;
    QLabel* pnlWzin = nullptr;
    QLabel* pnlDraaiTzin = nullptr;
    QLabel* pnlDraaiWzin = nullptr;
    QTimer* Timer1 = nullptr;
    int filled = 0;  // the fields show the record

private:
    int targetEnd() const;
    int currentEnd() const;
    void showDirectionPanels(const TurntableRec& t);
};

extern TfrmDraaischijf* frmDraaischijf;
