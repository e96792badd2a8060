#pragma once
// Speed curve and calibration.
#include <QDialog>

class TfrmCurve : public QDialog {
    Q_OBJECT
public:
    explicit TfrmCurve(QWidget* parent = nullptr);
};

extern TfrmCurve* frmCurve;
