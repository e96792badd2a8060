#pragma once
// Turnout dialog: number (accessory address), pulse time, decoder protocol and the pairing of double
// turnouts; during a session only the pulse time, and the turnout can be thrown and set to manual.
#include "layout/dialogs/element_dialog.h"

class QCheckBox;
class QComboBox;
struct TurnoutRec;
class QLineEdit;

class TfrmWissel : public TElementDialog {
    Q_OBJECT
public:
    explicit TfrmWissel(QWidget* parent = nullptr);
    void FormActivate() override;
    void FormClose() override;
    void btnOKClick();
    void edtNummerChange();
    void pnlPlusMinMouseDown(int button);
    void chboDubwisClick();
    void btnModeClick();
    void btnStandClick();
    void edtPulstijdChange();
    // Pulse time and decoder for real decoder addresses (below 2048); "Dubbelwissel" and "Invers" only
    // for the second member of a double turnout (3001..5047).
    void updateTurnoutDialogFields(int number);

    QLineEdit* edtNummer = nullptr;
    TPlusMinPanel* pnlPlusMin = nullptr;
    QLabel* lblPulstijd = nullptr;
    QLineEdit* edtPulstijd = nullptr;
    QLabel* lblDecoder = nullptr;
    QComboBox* cboDecoder = nullptr;
    QCheckBox* chboDubwis = nullptr;
    QCheckBox* chboInvers = nullptr;
    QPushButton* btnStand = nullptr;
    QPushButton* btnMode = nullptr;

private:
    void showCaptions();
    void storeInTable(TurnoutRec* t, bool linked);
};

extern TfrmWissel* frmWissel;
