#pragma once
// Function decoders.
#include <QDialog>

class QPushButton;

class TfrmFunctieDec : public QDialog {
    Q_OBJECT
public:
    explicit TfrmFunctieDec(QWidget* parent = nullptr);

    QPushButton* btnCVProg = nullptr;
    // Opens the programming dialog for the current decoder (direct mode, no Motorola sequence running).
    void btnCVProgClick();
};

extern TfrmFunctieDec* frmFunctieDec;
