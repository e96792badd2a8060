#pragma once
// Function decoders.
#include <QDialog>

class TfrmFunctieDec : public QDialog {
    Q_OBJECT
public:
    explicit TfrmFunctieDec(QWidget* parent = nullptr);
};

extern TfrmFunctieDec* frmFunctieDec;
