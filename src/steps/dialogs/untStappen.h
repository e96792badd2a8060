#pragma once
// Step-program editor.
#include <QDialog>

class TfrmStappen : public QDialog {
    Q_OBJECT
public:
    explicit TfrmStappen(QWidget* parent = nullptr);
    // What the form is open for (the control post sets and reads it).
    int Tag = 0;
};

extern TfrmStappen* frmStappen;
