#pragma once
// Locomotive panel.
#include <QDialog>

class TfrmLok : public QDialog {
    Q_OBJECT
public:
    explicit TfrmLok(QWidget* parent = nullptr);
    // What the form is open for (the control post sets and reads it).
    int Tag = 0;
};

extern TfrmLok* frmLok;
