#pragma once
// Driving panel.
#include <QDialog>

class TfrmLoks : public QDialog {
    Q_OBJECT
public:
    explicit TfrmLoks(QWidget* parent = nullptr);
    // What the form is open for (the control post sets and reads it).
    int Tag = 0;
};

extern TfrmLoks* frmLoks;
