#pragma once
// Turnout dialog.
#include <QDialog>

class TfrmWissel : public QDialog {
    Q_OBJECT
public:
    explicit TfrmWissel(QWidget* parent = nullptr);
};

extern TfrmWissel* frmWissel;
