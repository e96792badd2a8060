#pragma once
// Input dialog: the number of an S88 feedback contact shown on the diagram.
#include "layout/dialogs/element_dialog.h"

class QLineEdit;

class TfrmIngang : public TElementDialog {
    Q_OBJECT
public:
    explicit TfrmIngang(QWidget* parent = nullptr);
    void FormActivate() override;
    void FormClose() override;
    void btnOKClick();
    void edtNummerChange();
    void pnlPlusMinMouseDown(int button);

    QLineEdit* edtNummer = nullptr;
    TPlusMinPanel* pnlPlusMin = nullptr;
};

extern TfrmIngang* frmIngang;
