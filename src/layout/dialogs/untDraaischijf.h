#pragma once
// Turntable dialog.
#include <QDialog>

class TfrmDraaischijf : public QDialog {
    Q_OBJECT
public:
    explicit TfrmDraaischijf(QWidget* parent = nullptr);
};

extern TfrmDraaischijf* frmDraaischijf;
