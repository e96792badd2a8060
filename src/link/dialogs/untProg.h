#pragma once
// Decoder programming.
#include <QDialog>

class TfrmProg : public QDialog {
    Q_OBJECT
public:
    explicit TfrmProg(QWidget* parent = nullptr);
    // What the form is open for (the control post sets and reads it).
    int Tag = 0;
};

extern TfrmProg* frmProg;
