#pragma once
// Output dialog: an accessory such as an uncoupling rail, addressed by an accessory address and one of
// its two buttons (key = address * 2 + button, 0 "rood", 1 "groen"); it also switches the output.
#include "layout/dialogs/element_dialog.h"

class QComboBox;
class QGroupBox;
class QLineEdit;

class TfrmUitgang : public TElementDialog {
    Q_OBJECT
public:
    explicit TfrmUitgang(QWidget* parent = nullptr);
    void FormActivate() override;
    void FormClose() override;
    void btnOKClick();
    void edtNummerChange();
    void cboDrukknopChange();
    void pnlPlusMinMouseDown(int button);
    void btnSchakelenClick();
    void edtPulstijdChange();
    // The pulse-time and decoder labels and fields show only for real decoder addresses (below 2048).
    void showOutputDecoderControls(int address);

    QGroupBox* grpAdres = nullptr;
    QLineEdit* edtNummer = nullptr;
    QComboBox* cboDrukknop = nullptr;
    TPlusMinPanel* pnlPlusMin = nullptr;
    QLabel* lblPulstijd = nullptr;
    QLineEdit* edtPulstijd = nullptr;
    QLabel* lblDecoder = nullptr;
    QComboBox* cboDecoder = nullptr;
    QPushButton* btnSchakelen = nullptr;
};

extern TfrmUitgang* frmUitgang;
