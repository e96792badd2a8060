#pragma once
// Signal dialog: number and orange light (accessory addresses), the block the signal belongs to and so
// its direction, its aspect, pulse time and decoder protocol; during a session only the pulse time, and
// "Stand" forces red.
#include "layout/dialogs/element_dialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

class TfrmSein : public TElementDialog {
    Q_OBJECT
public:
    explicit TfrmSein(QWidget* parent = nullptr);
    void FormActivate() override;
    void FormClose() override;
    void btnOKClick();
    void edtNummerChange();
    void edtBlokNrChange();
    void chboOranjeLichtClick();
    void pnlPlusMin1MouseDown(int button);
    void pnlPlusMin2MouseDown(int button);
    void btnStandClick();
    void edtPulstijdChange();
    void updateSignalDialogFields(int number);

    QLineEdit* edtNummer = nullptr;
    TPlusMinPanel* pnlPlusMin1 = nullptr;
    QCheckBox* chboOranjeLicht = nullptr;
    QLineEdit* edtNrOranjeLicht = nullptr;
    TPlusMinPanel* pnlPlusMin2 = nullptr;
    QLineEdit* edtBlokNr = nullptr;
    QComboBox* cboRichting = nullptr;
    QPushButton* btnStand = nullptr;
    QLabel* lblPulstijd = nullptr;
    QLineEdit* edtPulstijd = nullptr;
    QLabel* lblDecoder = nullptr;
    QComboBox* cboDecoder = nullptr;

private:
    void stepNumber(QLineEdit* field, const QLineEdit* other, int button);
};

extern TfrmSein* frmSein;
