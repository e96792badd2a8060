#pragma once
// Decoder programming.
#include <QDialog>

class TfrmProg : public QDialog {
    Q_OBJECT
public:
    explicit TfrmProg(QWidget* parent = nullptr);
};

extern TfrmProg* frmProg;
